#include "sim/TrafficLog.h"

#include <cerrno>
#include <system_error>

namespace sim {

TrafficLog::TrafficLog(const std::string& path)
{
    if (path.empty())
        return;
    file_ = std::fopen(path.c_str(), "w");
    if (!file_)
        throw std::system_error(errno, std::generic_category(), "traffic log " + path);
}

TrafficLog::~TrafficLog()
{
    if (file_)
        std::fclose(file_);
}

void TrafficLog::received(double timeMs, const std::vector<uint8_t>& frame)
{
    line(timeMs, "RX", frame, "");
}

void TrafficLog::sent(double timeMs, const std::vector<uint8_t>& reply, bool injectedFault)
{
    line(timeMs, "TX", reply, injectedFault ? " (fault)" : "");
}

void TrafficLog::suppressed(double timeMs)
{
    line(timeMs, "TX", {}, "(fault: no reply)");
}

void TrafficLog::line(double timeMs, const char* direction, const std::vector<uint8_t>& bytes,
                      const char* note)
{
    if (!file_)
        return;
    std::fprintf(file_, "%12.3f %s", timeMs, direction);
    for (uint8_t b : bytes)
        std::fprintf(file_, " %02X", b);
    std::fprintf(file_, "%s%s\n", bytes.empty() ? " " : "", note);
    // Flushed per line so that a log survives a killed simulator.
    std::fflush(file_);
}

}  // namespace sim
