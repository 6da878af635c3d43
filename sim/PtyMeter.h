#pragma once
// Serves a MeterCore on a pseudo-terminal from a background thread, for tests:
//   sim::PtyMeter meter; N2OpenPort(QString::fromStdString(meter.path()), 9600); ...

#include "sim/MeterCore.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class PtyMeter {
public:
    explicit PtyMeter(const MeterSettings& settings = {}, const std::string& linkPath = {});
    ~PtyMeter();
    PtyMeter(const PtyMeter&) = delete;
    PtyMeter& operator=(const PtyMeter&) = delete;

    std::string path() const;                 // the slave side the program opens
    std::vector<Exchange> exchanges() const;  // copy, taken under the lock
    std::vector<std::vector<uint8_t>> frames() const;   // the requests alone
    void clearExchanges();
    MeterState state() const;
    // Runs f on the core under the lock (change settings, fix a point, install the jumper...).
    void withCore(const std::function<void(MeterCore&)>& f);
    void stop();                              // closes the pty; the destructor calls it

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sim
