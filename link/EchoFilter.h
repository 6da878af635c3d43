#pragma once
// Some 2-wire RS-485 adapters keep their receiver on while transmitting, so the frame just sent
// comes back ahead of every reply. The filter remembers that frame and reads the reply past its
// echo. A line without echo is read exactly as before: its first bytes differ from the frame,
// and the filter hands them up after the one read the port would have made anyway.

#include "link/SerialLine.h"

#include <vector>

class EchoFilter {
public:
    void sent(const uint8_t* frame, int length);   // after a send that left the port
    void forget();                                 // after one that did not

    // As SerialLine::read into reply (sized for the reply alone), but when the bytes that
    // arrive first are exactly the frame just sent, they are dropped and the reply is read
    // after them with the time-outs counted from there. Forgets the frame.
    int readReply(SerialLine& line, uint8_t* reply, int maxLength, int intervalMs, int totalMs);

private:
    int readPastEcho(SerialLine& line, int count, uint8_t* reply, int maxLength, int intervalMs, int totalMs);
    bool startsLikeFrame(int count) const;

    std::vector<uint8_t> frame_;
    std::vector<uint8_t> arrived_;   // the link's own buffer: echo and reply together
};
