#pragma once
// Ctrl-C (SIGINT) and SIGTERM ask the poller to end. The handler only sets StopRequested, which
// the run reads between two requests, so the request in progress always ends first.

#include "common/SignalHandlers.h"

#include <csignal>
#include <memory>

extern volatile std::sig_atomic_t StopRequested;

class StopSignals {
public:
    // One instance at a time; it restores the previous handlers when it goes.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    std::unique_ptr<SignalHandlers> handlers_;
};
