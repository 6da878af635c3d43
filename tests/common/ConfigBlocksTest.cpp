#include "common/ConfigBlocks.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

struct ParameterCase {
    ParameterBlock block;
    ParameterBlock::Bytes bytes;
};

bool SameValues(const ParameterBlock& a, const ParameterBlock& b)
{
    return a.tp == b.tp && a.tc == b.tc && a.ke == b.ke && a.tl == b.tl && a.ti == b.ti;
}

TEST(ParameterBlock, EncodesAndDecodesEveryField)
{
    const ParameterCase cases[] = {
        // The worked example: TP 1.0, TC 5.0, KE 1000, TL 10, TI 15.
        {{1.0f, 5.0f, 1000, 10, 15}, {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0xA0, 0x40, 0xE8, 0x03, 0x0A, 0x0F}},
        // Distinct bytes everywhere, so a swapped field or byte order shows.
        {{0.2f, 300.5f, 0x1234, 255, 60}, {0xCD, 0xCC, 0x4C, 0x3E, 0x00, 0x40, 0x96, 0x43, 0x34, 0x12, 0xFF, 0x3C}},
        {{-1.5f, 1e-30f, 65535, 0, 1}, {0x00, 0x00, 0xC0, 0xBF, 0x60, 0x42, 0xA2, 0x0D, 0xFF, 0xFF, 0x00, 0x01}},
    };
    for (const ParameterCase& c : cases) {
        EXPECT_EQ(c.block.Encode(), c.bytes) << c.block.tp;
        EXPECT_TRUE(SameValues(ParameterBlock::Decode(c.bytes), c.block)) << c.block.tp;
    }
}

struct CalibrationCase {
    CalibrationBlock::Bytes bytes;
    std::array<float, CalibrationBlock::ValueCount> values;   // KU, KI, CAL_U1..U3, CAL_I1..I3
};

TEST(CalibrationBlock, EncodesAndDecodesEveryValueAtItsOffset)
{
    const CalibrationCase cases[] = {
        // The worked example: KU 1.5, KI -1.5, CAL_U1 1.0, CAL_I3 -0.5.
        {{0x7F, 0x40, 0x00, 0x7F, 0xC0, 0x00, 0x00, 0x88, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10},
         {1.5f, -1.5f, 1.0f, 0, 0, 0, 0, -0.5f}},
        // A distinct value in every field: bytes 6 to 17 hold I3, U3, I2, U2, I1, U1.
        {{0x88, 0x7A, 0x00, 0x7E, 0x7C, 0xD6, 0x00, 0x18, 0xFF, 0x7F, 0x00, 0x30, 0x00, 0xA0, 0x01, 0x80, 0x00, 0x04},
         {1000.0f, 0.987640380859375f, 0.25f, -2.0f, 7.999755859375f, -0.000244140625f, 3.0f, 1.5f}},
    };
    for (const CalibrationCase& c : cases) {
        CalibrationBlock block;
        block.values = c.values;
        EXPECT_EQ(block.Encode(), c.bytes) << c.values[0];
        EXPECT_EQ(CalibrationBlock::Decode(c.bytes).values, c.values) << c.values[0];
    }
}

TEST(CalibrationBlock, KuAndKiKeepOnlyTheirThreeStoredBytes)
{
    CalibrationBlock block;
    block.values[CalibrationBlock::KU] = 0.98765f;   // exponent-first 7E 7C D6 A1: A1 is dropped
    block.values[CalibrationBlock::KI] = 0.98765f;
    const CalibrationBlock::Bytes bytes = block.Encode();
    EXPECT_EQ(bytes[2], 0xD6);
    EXPECT_EQ(bytes[3], 0x7E);   // KI begins where KU's fourth byte would be
    EXPECT_EQ(CalibrationBlock::Decode(bytes).values[CalibrationBlock::KU], 0.987640380859375f);
}

TEST(CalibrationBlock, HoldsOnlyWhatTheStoredFormGivesBack)
{
    using C = CalibrationBlock;
    struct Case { C::Value which; float value; bool held; };
    const Case cases[] = {
        {C::KU, 0.0f, true},
        {C::KU, std::ldexp(1.0f, -127), true},
        {C::KI, std::ldexp(1.0f, -128), false},
        {C::KI, -1e30f, true},
        {C::CalU1, 7.999755859375f, true},
        {C::CalI3, -7.999755859375f, true},
        {C::CalU2, 8.0f, false},
        {C::CalI1, -8.0f, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(C::Holds(c.which, c.value), c.held) << c.which << ' ' << c.value;
}

}  // namespace
