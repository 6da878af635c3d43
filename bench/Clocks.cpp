#include "bench/Bench.h"

#include <algorithm>
#include <ctime>

namespace bench {

namespace {
double Milliseconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}
}  // namespace

// The meter runs on a thread of its own, so only this thread's CPU time is the program's.
Clocks Now()
{
    return {Milliseconds(CLOCK_MONOTONIC), Milliseconds(CLOCK_THREAD_CPUTIME_ID)};
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace bench
