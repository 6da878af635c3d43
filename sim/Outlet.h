#pragma once
// The adapter's way to the program. Without a latency timer every byte goes on as it comes;
// with one, bytes wait in the adapter and go out together at the next multiple of the timer on
// the meter's clock, as a USB serial chip's latency timer sends them to the host.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace sim {

class Outlet {
public:
    using Writer = std::function<void(const uint8_t* bytes, size_t length)>;
    using Sleeper = std::function<bool(double ms)>;   // false when the runner is stopping

    Outlet(Writer write, Sleeper sleepUntil);
    void setLatency(int latencyMs);   // 0: no timer
    // Bytes that reached the adapter at ms; the meter's clock is at ms already.
    void put(const uint8_t* bytes, size_t length, double ms);
    // How long to wait for the next burst, at most atMostMs.
    int msUntilDue(double nowMs, int atMostMs) const;
    // Sends every burst due by ms, each at its time; false when stopped on the way.
    bool deliverUntil(double ms);
    // Sends what the adapter still holds, at its time.
    bool deliverAll();

private:
    double burstMs(double ms) const;

    Writer write_;
    Sleeper sleepUntil_;
    int latencyMs_ = 0;
    std::vector<uint8_t> held_;
    double heldUntilMs_ = 0;
};

}  // namespace sim
