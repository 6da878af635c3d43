#pragma once
// The benchmark of the polling loop and of the address scan against the simulated meter,
// paced as a 9600 baud 8N1 line.

#include "sim/PtyMeter.h"

#include <string>
#include <vector>

namespace bench {

// Wall-clock and this thread's CPU time, in milliseconds.
struct Clocks {
    double wallMs;
    double cpuMs;
};
Clocks Now();

double Median(std::vector<double> values);

struct PollingResult {
    std::vector<double> cycleMs;    // each measured full cycle
    double cpuShare = 0;            // the program's CPU time over wall time, those cycles
    int requestsPerCycle = 0;       // seen by the meter in one cycle
    int characters = 0;             // requests and replies of that cycle
    int failures = 0;               // beeps of the loop; a clean run has none
};

struct ScanResult {
    double wallMs = 0;
    double cpuShare = 0;
    int requests = 0;               // identify requests the meter saw
    int requestCharacters = 0;
    bool notFoundBox = false;       // the scan ended with its error box
};

// The main window polls the meter at address 1 for cycles + 1 cycles (the first is warm-up).
PollingResult RunPolling(sim::PtyMeter& meter, int cycles);
// The discovery dialog scans all 255 addresses of a silent line.
ScanResult RunScan(sim::PtyMeter& meter);

}  // namespace bench
