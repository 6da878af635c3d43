#pragma once
// The simulated meter's inside: bytes in, bytes out, state visible. No I/O and no clock of its
// own: the runner passes the time in milliseconds.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// One character of 9600 baud 8N1 (start bit, 8 data bits, stop bit) on the wire.
constexpr double CharTimeMs = 10.0 / 9.6;

struct Faults {
    bool silent = false;        // never answers
    double dropRate = 0;        // share of replies not sent at all
    double cutRate = 0;         // share of replies cut short (at least one byte kept)
    double garbleRate = 0;      // share of N2 replies with a decoded field character made non-hex
    int turnaroundMs = 0;       // pause between the end of a request and the start of its reply
};

// Address, serial number, status code and jumper are the meter's starting state; a later
// change of one of them here takes effect at the next byte fed (as a change of state() does).
struct MeterSettings {
    int address = 1;
    uint32_t serialNumber = 1234567;
    uint16_t statusCode = 0;
    bool jumperInstalled = false;
    uint32_t seed = 1;
    bool frozenEnergies = false;   // energies and demands do not grow with time
    bool noNoise = false;          // measurements exactly the nominal values
    Faults faults;
    bool wirePacing = false;       // 9600 baud 8N1: 1.0417 ms a character, both ways
    // The adapter between the meter and the program:
    bool echo = false;             // hears its own transmission: every byte received goes back
    int latencyMs = 0;             // USB latency timer: bytes reach the program in bursts at its multiples
    std::string logPath;           // traffic log, empty for none
    uint16_t startCounter = 17;    // the meter's count of starts (config information read)
};

// What the meter saw and said, in order. Every complete frame is recorded, also those it
// ignored (bad checksum, another address or serial number, jumper missing).
struct Exchange {
    double timeMs;
    std::vector<uint8_t> request;
    std::vector<uint8_t> reply;    // empty when the meter stayed silent
    bool injectedFault;            // the reply was dropped, cut or garbled on purpose
};

struct MeterState {
    int address;
    uint32_t serialNumber;
    uint16_t statusCode;
    bool jumperInstalled;
    uint16_t startCounter;
    uint16_t delta;
    uint8_t bank1[256];            // calibration
    uint8_t bank2[256];            // parameters
    float points[33];              // objects 0..32 as the polling loop reads them
    int injectedFaults;            // replies suppressed by silence, dropped, cut or garbled so far
};

class MeterCore {
public:
    explicit MeterCore(const MeterSettings& settings = {});
    // Feeds received bytes; returns the replies completed by them, in order.
    std::vector<std::vector<uint8_t>> feed(const uint8_t* bytes, size_t length, double nowMs);
    const MeterState& state() const;
    MeterState& state();
    const std::vector<Exchange>& exchanges() const;
    void clearExchanges();
    // Fixes the value of a point (noise and growth no longer apply to it; a reset still
    // zeroes a fixed register).
    void setPoint(int object, float value);
    MeterSettings& settings();

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace sim
