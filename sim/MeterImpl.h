#pragma once
// Private to the meter core: its state and the answer to each kind of request.

#include "sim/FrameSplitter.h"
#include "sim/MeterCore.h"
#include "sim/MeterModel.h"

#include <random>

namespace sim {

using Bytes = std::vector<uint8_t>;

struct MeterCore::Impl {
    explicit Impl(const MeterSettings& s);

    // Takes over the settings that changed since they were last applied.
    void syncSettings();
    void refreshPoints(double nowMs);
    Bytes answer(const Frame& frame);
    // Draws the configured faults for one reply; true when it was altered or suppressed.
    bool injectFaults(Bytes& reply);

    // N2 dialect (MeterN2.cpp)
    Bytes answerN2(const Bytes& frame);
    Bytes readStatus() const;
    Bytes readPoint(int object, int attribute) const;
    Bytes writeCommand(int object, int attribute, int value);
    Bytes writeValue(int object, int value);

    // Config dialect (MeterConfig.cpp)
    Bytes answerConfig(const Bytes& frame);
    Bytes readBlock(int bank, int start, int count) const;
    void writeBlock(int bank, int start, int count, const uint8_t* data);
    Bytes readInfo() const;

    MeterSettings settings;
    MeterSettings applied;
    MeterState state{};
    std::vector<Exchange> exchanges;
    FrameSplitter splitter;
    MeterModel model;
    std::mt19937 faultRng;
};

// N2 text helpers
void AppendHex(Bytes& out, uint8_t value);
bool IsUpperHex(uint8_t c);
uint8_t ParseHex(const uint8_t* text);
uint8_t Checksum(const uint8_t* chars, size_t count);

}  // namespace sim
