#pragma once
// A scripted serial line for tests: install with N2UseLine(&fake), then N2OpenPort(...).
// It records every call in one ordered log and answers each written frame with the next
// scripted reply (or the responder's). Time is virtual: reads never wait, they add the
// time the real port would have waited to virtualMs(). Like a Linux tty, it raises RTS
// when it opens.

#include "link/SerialLine.h"

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

class FakeLine : public SerialLine {
public:
    enum class Event { Open, Close, RtsRaised, RtsDropped, PurgeOutput, PurgeInput, Write, Read, ClearError };

    struct Record {
        Event event = Event::Open;
        std::vector<uint8_t> bytes;   // Write: the frame; Read: the bytes handed up
        int timeoutMs = 0;            // Write: write time-out; Read: total time-out
        int intervalMs = 0;           // Read only
        int maxLength = 0;            // Read only
        bool ok = true;               // false for a refused open or a failed write or read
        std::chrono::steady_clock::time_point at;   // real time of the call's end
    };

    // Part of a reply: arrives delayMs after the previous chunk (the first: after the read starts).
    // lineError: the driver counts a framing error as it arrives.
    struct Chunk {
        int delayMs = 0;
        std::vector<uint8_t> bytes;
        bool lineError = false;
    };
    using Reply = std::vector<Chunk>;
    using Responder = std::function<Reply(const std::vector<uint8_t>& frame)>;

    // Script: one entry per successful write, in order. A failed write takes none.
    void queueReply(const std::vector<uint8_t>& bytes);
    void queueReply(const Reply& chunks);
    void queueSilence();
    // Answers frames when the script is empty; without one the line stays silent.
    void setResponder(Responder responder);
    void setOpenFails(bool fails);   // as a missing device
    void setOpenResult(const OpenResult& result);
    // The device goes away under the open port (every call fails, fault() says so, opens
    // find nothing) until it is plugged in again.
    void unplug();
    void plugIn();
    void failNextWrites(int count);
    void failNextReads(int count);
    // As an adapter that hears its own transmission: every frame written arrives first.
    void setEcho(bool echoes);

    const std::vector<Record>& log() const { return log_; }
    std::vector<Event> events() const;
    std::vector<std::vector<uint8_t>> frames() const;   // every write attempted, in order
    void clearLog();
    bool rtsRaised() const { return rts_; }
    long long virtualMs() const { return virtualMs_; }
    QString devicePath() const { return devicePath_; }
    int baudRate() const { return baudRate_; }

    OpenResult open(const QString& devicePath, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity) override;
    bool close() override;
    bool isOpen() const override { return open_; }
    void setRts(bool raised) override;
    void purgeOutput() override;
    void purgeInput() override;
    bool write(const uint8_t* bytes, int length, int timeoutMs) override;
    int read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs) override;
    LineFault fault() override;
    void clearError() override;
    long long clockMs() const override { return clockMs_; }

private:
    Reply nextReply(const std::vector<uint8_t>& frame);
    int takeArrived(uint8_t* buffer, int maxLength, int intervalMs, int totalMs, int& elapsedMs);
    void record(Event event, bool ok = true);
    void pass(long long ms);

    std::vector<Record> log_;
    std::deque<Reply> script_;
    std::deque<Chunk> pending_;   // bytes on their way or waiting in the receive queue
    Responder responder_;
    OpenResult openResult_;
    bool unplugged_ = false;
    bool lineError_ = false;
    bool echoes_ = false;
    int writeFailures_ = 0;
    int readFailures_ = 0;
    bool open_ = false;
    bool rts_ = false;
    long long virtualMs_ = 0;
    long long clockMs_ = 0;   // virtual too, but never cleared
    QString devicePath_;
    int baudRate_ = 0;
};
