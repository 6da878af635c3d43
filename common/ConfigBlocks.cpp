#include "common/ConfigBlocks.h"

#include "common/Geral.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

void PutLittleEndian(uint32_t value, int width, uint8_t* out)
{
    for (int i = 0; i < width; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetLittleEndian(const uint8_t* in, int width)
{
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | in[i];
    return value;
}

// Where each value of the calibration block starts.
constexpr int CalibrationOffset[CalibrationBlock::ValueCount] = {0, 3, 16, 12, 8, 14, 10, 6};
constexpr int ExponentFirstStored = 3;   // of the 4 bytes FloatToBytes writes

}  // namespace

ParameterBlock::Bytes ParameterBlock::Encode() const
{
    Bytes bytes{};
    PutLittleEndian(std::bit_cast<uint32_t>(tp), 4, &bytes[0]);
    PutLittleEndian(std::bit_cast<uint32_t>(tc), 4, &bytes[4]);
    PutLittleEndian(ke, 2, &bytes[8]);
    bytes[10] = tl;
    bytes[11] = ti;
    return bytes;
}

ParameterBlock ParameterBlock::Decode(std::span<const uint8_t, Size> bytes)
{
    ParameterBlock block;
    block.tp = std::bit_cast<float>(GetLittleEndian(&bytes[0], 4));
    block.tc = std::bit_cast<float>(GetLittleEndian(&bytes[4], 4));
    block.ke = static_cast<uint16_t>(GetLittleEndian(&bytes[8], 2));
    block.tl = bytes[10];
    block.ti = bytes[11];
    return block;
}

CalibrationBlock::Bytes CalibrationBlock::Encode() const
{
    Bytes bytes{};
    for (const Value which : {KU, KI}) {
        uint8_t exponentFirst[4];
        FloatToBytes(values[which], exponentFirst);
        std::copy_n(exponentFirst, ExponentFirstStored, &bytes[CalibrationOffset[which]]);
    }
    for (int which = CalU1; which <= CalI3; ++which)
        FloatToFixed(values[which], &bytes[CalibrationOffset[which]]);
    return bytes;
}

CalibrationBlock CalibrationBlock::Decode(std::span<const uint8_t, Size> bytes)
{
    CalibrationBlock block;
    for (const Value which : {KU, KI}) {
        const uint8_t* stored = &bytes[CalibrationOffset[which]];
        block.values[which] = static_cast<float>(BytesToFloat(stored[0], stored[1], stored[2], 0));
    }
    for (int which = CalU1; which <= CalI3; ++which)
        FixedToFloat(&bytes[CalibrationOffset[which]], block.values[which]);
    return block;
}

bool CalibrationBlock::Holds(Value which, float value)
{
    if (which == KU || which == KI)
        return value == 0 || std::fabs(value) >= std::ldexp(1.0f, -127);
    return std::fabs(value) < 8.0f;
}
