#include "link/FakeLine.h"

#include <algorithm>

void FakeLine::queueReply(const std::vector<uint8_t>& bytes)
{
    script_.push_back(Reply{Chunk{0, bytes}});
}

void FakeLine::queueReply(const Reply& chunks)
{
    script_.push_back(chunks);
}

void FakeLine::queueSilence()
{
    script_.push_back(Reply{});
}

void FakeLine::setResponder(Responder responder)
{
    responder_ = std::move(responder);
}

void FakeLine::setOpenFails(bool fails)
{
    openResult_ = {};
    if (fails)
        openResult_.failure = OpenFailure::NotFound;
}

void FakeLine::setOpenResult(const OpenResult& result)
{
    openResult_ = result;
}

void FakeLine::unplug()
{
    unplugged_ = true;
}

void FakeLine::plugIn()
{
    unplugged_ = false;
}

void FakeLine::failNextWrites(int count)
{
    writeFailures_ = count;
}

void FakeLine::failNextReads(int count)
{
    readFailures_ = count;
}

void FakeLine::setEcho(bool echoes)
{
    echoes_ = echoes;
}

std::vector<FakeLine::Event> FakeLine::events() const
{
    std::vector<Event> events;
    for (const Record& r : log_)
        events.push_back(r.event);
    return events;
}

std::vector<std::vector<uint8_t>> FakeLine::frames() const
{
    std::vector<std::vector<uint8_t>> frames;
    for (const Record& r : log_) {
        if (r.event == Event::Write)
            frames.push_back(r.bytes);
    }
    return frames;
}

void FakeLine::clearLog()
{
    log_.clear();
    virtualMs_ = 0;
}

void FakeLine::record(Event event, bool ok)
{
    Record r;
    r.event = event;
    r.ok = ok;
    r.at = std::chrono::steady_clock::now();
    log_.push_back(r);
}

void FakeLine::pass(long long ms)
{
    virtualMs_ += ms;
    clockMs_ += ms;
}

OpenResult FakeLine::open(const QString& devicePath, int baudRate, uint8_t, uint8_t, uint8_t)
{
    OpenResult result = openResult_;
    if (unplugged_) {
        result = {};
        result.failure = OpenFailure::NotFound;
    }
    open_ = result.ok();
    rts_ = rts_ || open_;
    record(Event::Open, open_);
    devicePath_ = devicePath;
    baudRate_ = baudRate;
    pending_.clear();
    lineError_ = false;
    return result;
}

bool FakeLine::close()
{
    const bool wasOpen = open_;
    open_ = false;
    record(Event::Close, wasOpen);
    return wasOpen;
}

void FakeLine::setRts(bool raised)
{
    rts_ = raised;
    record(raised ? Event::RtsRaised : Event::RtsDropped);
}

void FakeLine::purgeOutput()
{
    record(Event::PurgeOutput);
}

void FakeLine::purgeInput()
{
    pending_.clear();
    lineError_ = false;
    record(Event::PurgeInput);
}

void FakeLine::clearError()
{
    record(Event::ClearError);
}

LineFault FakeLine::fault()
{
    if (open_ && unplugged_)
        return LineFault::HungUp;
    return open_ && lineError_ ? LineFault::LineError : LineFault::None;
}

FakeLine::Reply FakeLine::nextReply(const std::vector<uint8_t>& frame)
{
    if (script_.empty())
        return responder_ ? responder_(frame) : Reply{};
    Reply reply = script_.front();
    script_.pop_front();
    return reply;
}

bool FakeLine::write(const uint8_t* bytes, int length, int timeoutMs)
{
    Record r;
    r.event = Event::Write;
    r.bytes.assign(bytes, bytes + std::max(length, 0));
    r.timeoutMs = timeoutMs;
    r.ok = open_ && !unplugged_ && writeFailures_ == 0;
    if (open_ && writeFailures_ > 0)
        --writeFailures_;
    r.at = std::chrono::steady_clock::now();
    log_.push_back(r);
    if (!r.ok)
        return false;
    if (echoes_)
        pending_.push_back(Chunk{0, r.bytes});
    for (const Chunk& chunk : nextReply(r.bytes))
        pending_.push_back(chunk);
    return true;
}

int FakeLine::read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs)
{
    Record r;
    r.event = Event::Read;
    r.timeoutMs = totalMs;
    r.intervalMs = intervalMs;
    r.maxLength = maxLength;
    r.ok = open_ && !unplugged_ && readFailures_ == 0;
    if (open_ && readFailures_ > 0)
        --readFailures_;
    r.at = std::chrono::steady_clock::now();
    if (!r.ok) {
        // A port that is not open waits as a silent line; an open one fails at once.
        if (!open_)
            pass(totalMs);
        log_.push_back(r);
        return -1;
    }
    int elapsedMs = 0;
    const int count = takeArrived(buffer, maxLength, intervalMs, totalMs, elapsedMs);
    pass(elapsedMs);
    r.bytes.assign(buffer, buffer + count);
    log_.push_back(r);
    return count;
}

// The real port's rule: stop at maxLength bytes, intervalMs after the last byte, or totalMs.
int FakeLine::takeArrived(uint8_t* buffer, int maxLength, int intervalMs, int totalMs, int& elapsedMs)
{
    int count = 0;
    int lastArrival = 0;
    while (count < maxLength && !pending_.empty()) {
        Chunk& chunk = pending_.front();
        const int arrival = lastArrival + chunk.delayMs;
        const bool late = arrival > totalMs || (count > 0 && arrival - lastArrival > intervalMs);
        if (late)
            break;
        lastArrival = arrival;
        chunk.delayMs = 0;
        lineError_ = lineError_ || chunk.lineError;
        const int take = std::min<int>(static_cast<int>(chunk.bytes.size()), maxLength - count);
        std::copy_n(chunk.bytes.begin(), take, buffer + count);
        chunk.bytes.erase(chunk.bytes.begin(), chunk.bytes.begin() + take);
        if (chunk.bytes.empty())
            pending_.pop_front();
        count += take;
    }
    if (count == maxLength)
        elapsedMs = lastArrival;
    else
        elapsedMs = count == 0 ? totalMs : std::min(totalMs, lastArrival + intervalMs);
    // What has not arrived yet comes that much closer for the next read.
    if (!pending_.empty())
        pending_.front().delayMs = std::max(0, lastArrival + pending_.front().delayMs - elapsedMs);
    return count;
}
