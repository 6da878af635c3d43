#pragma once
// The traffic log: one line per frame received and per reply sent, bytes in hex, with the
// time in milliseconds since the meter started.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sim {

class TrafficLog {
public:
    TrafficLog() = default;
    explicit TrafficLog(const std::string& path);   // empty path: log nothing
    ~TrafficLog();
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void received(double timeMs, const std::vector<uint8_t>& frame);
    void sent(double timeMs, const std::vector<uint8_t>& reply, bool injectedFault);
    void suppressed(double timeMs);   // a reply withheld by fault injection

private:
    void line(double timeMs, const char* direction, const std::vector<uint8_t>& bytes,
              const char* note);
    std::FILE* file_ = nullptr;
};

}  // namespace sim
