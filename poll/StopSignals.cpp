#include "poll/StopSignals.h"

volatile std::sig_atomic_t StopRequested = 0;

namespace {

void RequestStop(int)
{
    StopRequested = 1;
}

}  // namespace

StopSignals::StopSignals()
{
    StopRequested = 0;
    handlers_ = std::make_unique<SignalHandlers>(std::initializer_list<int>{SIGINT, SIGTERM}, RequestStop);
}

StopSignals::~StopSignals() = default;
