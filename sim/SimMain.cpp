// n2-meter-sim: serves a simulated meter until SIGINT or SIGTERM.

#include "sim/Line.h"
#include "sim/PtyMeter.h"
#include "sim/SimOptions.h"

#include <csignal>
#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    sim::SimOptions options;
    std::string error;
    if (!sim::ParseSimOptions({argv + 1, argv + argc}, options, error)) {
        std::fprintf(stderr, "n2-meter-sim: %s\n%s", error.c_str(), sim::SimUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(sim::SimUsage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("n2-meter-sim %s\n", QVT_N2_VERSION);
        return 0;
    }
    if (const std::string refusal = sim::LinkPathRefusal(options.linkPath); !refusal.empty()) {
        std::fprintf(stderr, "n2-meter-sim: --link %s\n", refusal.c_str());
        return 2;
    }
    // Block the stop signals in every thread and take them here, synchronously.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    try {
        sim::PtyMeter meter(options.settings, options.linkPath, options.devicePath);
        std::printf("%s\n", meter.path().c_str());
        std::fflush(stdout);
        int signal = 0;
        sigwait(&stopSignals, &signal);
        meter.stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "n2-meter-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
