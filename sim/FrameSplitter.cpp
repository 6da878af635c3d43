#include "sim/FrameSplitter.h"

namespace sim {

namespace {
constexpr uint8_t N2Start = '>';
constexpr uint8_t ConfigStart = '!';
constexpr uint8_t Cr = 0x0D;
// The longest N2 request is 16 characters; anything longer without a CR is noise.
constexpr size_t MaxN2Length = 16;
}

void FrameSplitter::push(uint8_t byte, std::vector<Frame>& out)
{
    switch (mode_) {
    case Mode::Idle:
        if (byte == N2Start)
            start(Mode::N2, byte);
        else if (byte == ConfigStart)
            start(Mode::Config, byte);
        break;
    case Mode::N2:
        pushN2(byte, out);
        break;
    case Mode::Config:
        pushConfig(byte, out);
        break;
    }
}

void FrameSplitter::start(Mode mode, uint8_t byte)
{
    mode_ = mode;
    buf_.assign(1, byte);
}

void FrameSplitter::pushN2(uint8_t byte, std::vector<Frame>& out)
{
    // N2 frames are printable text: a start character inside one begins a new frame.
    if (byte == N2Start || byte == ConfigStart) {
        start(byte == N2Start ? Mode::N2 : Mode::Config, byte);
        return;
    }
    buf_.push_back(byte);
    if (byte == Cr) {
        out.push_back({FrameKind::N2, std::move(buf_)});
        mode_ = Mode::Idle;
        buf_.clear();
    } else if (buf_.size() >= MaxN2Length) {
        mode_ = Mode::Idle;
        buf_.clear();
    }
}

void FrameSplitter::pushConfig(uint8_t byte, std::vector<Frame>& out)
{
    buf_.push_back(byte);
    const int length = configLength();
    if (length == 0)
        return;
    const bool complete = length > 0 && buf_.size() == static_cast<size_t>(length);
    if (complete && byte == Cr)
        out.push_back({FrameKind::Config, std::move(buf_)});
    if (length < 0 || complete) {
        mode_ = Mode::Idle;
        buf_.clear();
    }
}

int FrameSplitter::configLength() const
{
    if (buf_.size() < 7)
        return 0;
    const uint8_t kind = buf_[5];
    const uint8_t op = buf_[6];
    if (kind == 'R' && (op == '0' || op == '3'))
        return 8;
    if (kind == 'W' && op == '0')
        return 8;
    if (kind == 'W' && op == '1')
        return 9;
    if (kind == 'R' && op == '2')
        return 11;
    if (kind == 'W' && op == '2')
        return buf_.size() < 10 ? 0 : 11 + buf_[9];
    return -1;
}

}  // namespace sim
