#include "link/EchoFilter.h"

#include "link/LinkTrace.h"

#include <algorithm>

namespace {

// Takes up to count more bytes of a read whose last byte has just arrived, one at a time, each
// within intervalMs of the one before. The bytes so far, or -1 on a read failure.
int ReadOn(SerialLine& line, uint8_t* into, int count, int intervalMs)
{
    int taken = 0;
    while (taken < count) {
        const int got = line.read(into + taken, 1, intervalMs, intervalMs);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        ++taken;
    }
    return taken;
}

}  // namespace

void EchoFilter::sent(const uint8_t* frame, int length)
{
    frame_.assign(frame, frame + std::max(length, 0));
}

void EchoFilter::forget()
{
    frame_.clear();
}

bool EchoFilter::startsLikeFrame(int count) const
{
    const int compared = std::min<int>(count, static_cast<int>(frame_.size()));
    return compared > 0 && std::equal(arrived_.begin(), arrived_.begin() + compared, frame_.begin());
}

int EchoFilter::readReply(SerialLine& line, uint8_t* reply, int maxLength, int intervalMs, int totalMs)
{
    arrived_.resize(static_cast<size_t>(std::max(maxLength, 0)) + frame_.size());
    // The read the port makes on every line; only bytes that begin like the frame go further.
    int count = line.read(arrived_.data(), maxLength, intervalMs, totalMs);
    if (count > 0 && startsLikeFrame(count))
        count = readPastEcho(line, count, reply, maxLength, intervalMs, totalMs);
    else if (count > 0)
        std::copy_n(arrived_.begin(), count, reply);
    frame_.clear();
    return count;
}

// The first count bytes (count > 0) are the start of the frame, or the whole frame followed
// by the start of the reply.
int EchoFilter::readPastEcho(SerialLine& line, int count, uint8_t* reply, int maxLength, int intervalMs,
                             int totalMs)
{
    const int frameLength = static_cast<int>(frame_.size());
    if (count < frameLength) {
        // Only a reply shorter than the frame fills the read before the echo is whole; the rest
        // of an echo follows at once.
        const bool maybeMore = count == maxLength;
        const int more = maybeMore ? ReadOn(line, arrived_.data() + count, frameLength - count, intervalMs) : 0;
        if (more < 0)
            return -1;
        if (count + more < frameLength || !startsLikeFrame(frameLength)) {
            std::copy_n(arrived_.begin(), count, reply);   // a reply that began like the frame
            return count;
        }
        TraceLink({.event = LinkEvent::EchoDropped, .bytes = frame_.data(), .length = frameLength});
        return line.read(reply, maxLength, intervalMs, totalMs);
    }
    TraceLink({.event = LinkEvent::EchoDropped, .bytes = frame_.data(), .length = frameLength});
    int replyCount = count - frameLength;
    std::copy_n(arrived_.begin() + frameLength, replyCount, reply);
    if (replyCount == 0) {
        // The read stopped either at the echo's last byte or one interval of silence after it.
        const int waitedMs = count == maxLength ? 0 : intervalMs;
        return line.read(reply, maxLength, intervalMs, totalMs - waitedMs);
    }
    if (count == maxLength) {
        // The read stopped at its length, inside the reply: the rest may still be coming.
        const int more = ReadOn(line, reply + replyCount, maxLength - replyCount, intervalMs);
        if (more < 0)
            return -1;
        replyCount += more;
    }
    return replyCount;
}
