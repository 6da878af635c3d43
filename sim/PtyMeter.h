#pragma once
// Serves a MeterCore on a pseudo-terminal from a background thread, for tests:
//   sim::PtyMeter meter; N2OpenPort(QString::fromStdString(meter.path()), 9600); ...
// The runner keeps the slave side open itself, so a program may open, close and reopen it
// freely; only stop() (or the destructor) hangs the line up.

#include "sim/MeterCore.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class PtyMeter {
public:
    // linkPath: keep a symbolic link there to the slave side while serving.
    // devicePath: serve this serial device (9600 8N1, raw) instead of a new pty.
    // Throws std::system_error when the line cannot be set up.
    explicit PtyMeter(const MeterSettings& settings = {}, const std::string& linkPath = {},
                      const std::string& devicePath = {});
    ~PtyMeter();
    PtyMeter(const PtyMeter&) = delete;
    PtyMeter& operator=(const PtyMeter&) = delete;

    std::string path() const;                 // the slave side the program opens
    std::vector<Exchange> exchanges() const;  // copy, taken under the lock
    std::vector<std::vector<uint8_t>> frames() const;   // the requests alone
    void clearExchanges();
    MeterState state() const;
    // True while the adapter holds bytes back from the program (its latency timer not yet due).
    bool holdsBytes() const;
    // Runs f on the core under the lock (change settings, fix a point, install the jumper...).
    void withCore(const std::function<void(MeterCore&)>& f);
    void stop();                              // closes the pty; the destructor calls it

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sim
