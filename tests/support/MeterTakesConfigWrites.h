#pragma once
// Holds the program after each config write until the simulated meter on the pty has taken
// the frame and its adapter holds nothing back, for the life of the object.
//
// A config write reads no reply, and the next request begins by purging both queues. On a pty
// the purge of the transmit queue reaches past the program's side: it also throws away what
// the kernel has not yet handed to the meter's side, so a frame written a moment before may
// never arrive. And an echo that an adapter's latency timer still holds arrives after the
// purge of the receive queue, ahead of the next reply. The program gives the meter
// ConfigWriteDelay (3 s) before that next request; tests cut the delay to 1 ms, and on a
// loaded machine the kernel or the meter may take longer. So instead of a longer sleep, this
// waits for the events themselves.

#include "link/LinkTrace.h"
#include "sim/PtyMeter.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class MeterTakesConfigWrites : public LinkTraceSink {
public:
    explicit MeterTakesConfigWrites(const sim::PtyMeter& meter)
        : meter_(meter), previous_(N2SetTraceSink(this))
    {
    }
    ~MeterTakesConfigWrites() override { N2SetTraceSink(previous_); }
    MeterTakesConfigWrites(const MeterTakesConfigWrites&) = delete;
    MeterTakesConfigWrites& operator=(const MeterTakesConfigWrites&) = delete;

    void record(const LinkTraceEntry& entry) override
    {
        if (previous_)
            previous_->record(entry);
        // Every request starts with this purge: the frame sent next is recorded after these.
        if (entry.event == LinkEvent::PurgedOutput)
            framesBefore_ = meter_.frames().size();
        if (entry.event == LinkEvent::Sent && IsConfigWrite(entry))
            waitUntilTaken(std::vector<uint8_t>(entry.bytes, entry.bytes + entry.length));
    }

private:
    static constexpr int TakeTimeoutMs = 2000;

    static bool IsConfigWrite(const LinkTraceEntry& entry)
    {
        return entry.length > 6 && entry.bytes[0] == '!' && entry.bytes[5] == 'W';
    }
    bool taken(const std::vector<uint8_t>& frame) const
    {
        const auto frames = meter_.frames();
        const auto since = frames.begin() + static_cast<std::ptrdiff_t>(std::min(framesBefore_, frames.size()));
        return std::find(since, frames.end(), frame) != frames.end();
    }
    void waitUntilTaken(const std::vector<uint8_t>& frame) const
    {
        QElapsedTimer waited;
        waited.start();
        // The meter echoes a frame before it records it, so the echo is held or gone by then.
        while (!(taken(frame) && !meter_.holdsBytes())) {
            if (waited.elapsed() > TakeTimeoutMs) {
                ADD_FAILURE() << "the meter did not take a config write within " << TakeTimeoutMs << " ms";
                return;
            }
            QThread::msleep(1);
        }
    }

    const sim::PtyMeter& meter_;
    LinkTraceSink* previous_;
    size_t framesBefore_ = 0;
};
