#pragma once
// Command line of n2-meter-sim.

#include "sim/MeterCore.h"

#include <string>
#include <vector>

namespace sim {

struct SimOptions {
    MeterSettings settings;
    std::string linkPath;
    std::string devicePath;
    bool help = false;
    bool version = false;
};

// Parses argv after the program name; false with a message in error on a bad option.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);
const char* SimUsage();

}  // namespace sim
