#pragma once
// The two blocks of the meter's configuration banks: their values, their byte layout and their
// bank. Every caller reads and writes a block whole, from start 0, so a block is a value here.

#include <array>
#include <cstdint>
#include <span>

// Bank 2: TP and TC as IEEE singles, KE as 16 bits, TL and TI as 8 bits, all least
// significant byte first.
struct ParameterBlock {
    static constexpr uint8_t Bank = 2;
    static constexpr int Size = 12;
    using Bytes = std::array<uint8_t, Size>;

    float tp = 0;
    float tc = 0;
    uint16_t ke = 0;
    uint8_t tl = 0;
    uint8_t ti = 0;

    Bytes Encode() const;
    static ParameterBlock Decode(std::span<const uint8_t, Size> bytes);
};

// Bank 1: KU and KI in the meter's exponent-first float cut to 3 bytes, then the six
// calibration values in its fixed point, phase 3 down to phase 1, current before voltage.
struct CalibrationBlock {
    static constexpr uint8_t Bank = 1;
    static constexpr int Size = 18;
    using Bytes = std::array<uint8_t, Size>;

    // The order in which the forms list, check and show the values.
    enum Value { KU, KI, CalU1, CalU2, CalU3, CalI1, CalI2, CalI3 };
    static constexpr int ValueCount = 8;

    std::array<float, ValueCount> values{};

    Bytes Encode() const;
    static CalibrationBlock Decode(std::span<const uint8_t, Size> bytes);
    // False when the stored form would not give the value back: the exponent-first form has no
    // exponent below 2^-127 (it wraps to a huge number), the fixed point no magnitude of 8 or
    // more (it flips the sign).
    static bool Holds(Value which, float value);
};
