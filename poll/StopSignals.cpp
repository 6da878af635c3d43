#include "poll/StopSignals.h"

volatile std::sig_atomic_t StopRequested = 0;

namespace {

constexpr int HandledSignals[2] = {SIGINT, SIGTERM};

void RequestStop(int)
{
    StopRequested = 1;
}

}  // namespace

StopSignals::StopSignals()
{
    StopRequested = 0;
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        sigaction(HandledSignals[i], &action, &previous_[i]);
}

StopSignals::~StopSignals()
{
    for (int i = 0; i < 2; ++i)
        sigaction(HandledSignals[i], &previous_[i], nullptr);
}
