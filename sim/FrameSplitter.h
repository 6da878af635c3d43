#pragma once
// Cuts the meter's input stream into frames. An N2 frame runs from '>' to CR; a config frame
// from '!' for as many bytes as its operation needs, because its raw bytes may be CR or '!'.
// Bytes outside a frame are skipped.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

enum class FrameKind { N2, Config };

struct Frame {
    FrameKind kind;
    std::vector<uint8_t> bytes;   // start character to CR, both included
};

class FrameSplitter {
public:
    // Takes one byte; appends to out the frame it completes, if any.
    void push(uint8_t byte, std::vector<Frame>& out);

private:
    enum class Mode { Idle, N2, Config };
    void start(Mode mode, uint8_t byte);
    void pushN2(uint8_t byte, std::vector<Frame>& out);
    void pushConfig(uint8_t byte, std::vector<Frame>& out);
    // Total length of the config frame in buf_, 0 while unknown, -1 for no valid operation.
    int configLength() const;

    Mode mode_ = Mode::Idle;
    std::vector<uint8_t> buf_;
};

}  // namespace sim
