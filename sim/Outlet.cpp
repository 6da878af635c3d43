#include "sim/Outlet.h"

#include <algorithm>
#include <cmath>

namespace sim {

Outlet::Outlet(Writer write, Sleeper sleepUntil) : write_(std::move(write)), sleepUntil_(std::move(sleepUntil)) {}

void Outlet::setLatency(int latencyMs)
{
    latencyMs_ = latencyMs;
}

double Outlet::burstMs(double ms) const
{
    return std::ceil(ms / latencyMs_) * latencyMs_;
}

void Outlet::put(const uint8_t* bytes, size_t length, double ms)
{
    // A byte of a later burst: the held one is due (it is late only if the caller slept past it).
    if (!held_.empty() && (latencyMs_ <= 0 || burstMs(ms) > heldUntilMs_))
        deliverAll();
    if (latencyMs_ <= 0) {
        write_(bytes, length);
        return;
    }
    if (held_.empty())
        heldUntilMs_ = burstMs(ms);
    held_.insert(held_.end(), bytes, bytes + length);
}

int Outlet::msUntilDue(double nowMs, int atMostMs) const
{
    if (held_.empty())
        return atMostMs;
    return static_cast<int>(std::clamp(std::ceil(heldUntilMs_ - nowMs), 0.0, double(atMostMs)));
}

bool Outlet::deliverUntil(double ms)
{
    if (held_.empty() || heldUntilMs_ > ms)
        return true;
    return deliverAll();
}

bool Outlet::deliverAll()
{
    if (held_.empty())
        return true;
    if (!sleepUntil_(heldUntilMs_))
        return false;
    write_(held_.data(), held_.size());
    held_.clear();
    return true;
}

}  // namespace sim
