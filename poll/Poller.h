#pragma once
// The poller's run: the trace and the output opened, the port opened, then the polling cycles
// (or the address scan) until done or stopped; returns the exit status.

#include "poll/PollOptions.h"

int RunPoller(const PollOptions& options);
