#include "common/Geral.h"
#include "tests/common/LocaleGuard.h"

#include <gtest/gtest.h>
#include <array>
#include <cmath>
#include <limits>

namespace {

using Bytes2 = std::array<uint8_t, 2>;
using Bytes4 = std::array<uint8_t, 4>;

Bytes2 EncodeFixed(float value)
{
    Bytes2 bytes{0xEE, 0xEE};
    FloatToFixed(value, bytes.data());
    return bytes;
}

Bytes4 EncodeExponentFirst(float value)
{
    Bytes4 bytes{0xEE, 0xEE, 0xEE, 0xEE};
    FloatToBytes(value, bytes.data());
    return bytes;
}

struct FixedEncodeCase { float value; Bytes2 bytes; };

TEST(FixedPoint, Encodes)
{
    const FixedEncodeCase cases[] = {
        {1.5f, {0x00, 0x18}},
        {-0.25f, {0x00, 0x84}},
        {1.0001f, {0x00, 0x10}},          // truncated, not rounded
        {1.0f, {0x00, 0x10}},
        {-0.5f, {0x00, 0x88}},
        {-0.0f, {0x00, 0x00}},            // the sign is taken only below zero
        {7.999755859375f, {0xFF, 0x7F}},
        {0.000244140625f, {0x01, 0x00}},
        {0.0002f, {0x00, 0x00}},          // below one unit
        {8.0f, {0x00, 0x80}},             // bit 15 of the magnitude lands on the sign
        {-8.0f, {0x00, 0x80}},
        {9.5f, {0x00, 0x98}},             // ... and reads back as -1.5
        {16.5f, {0x00, 0x08}},            // bits above 15 are lost
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeFixed(c.value), c.bytes) << c.value;
}

TEST(FixedPoint, HugeAndNonFiniteValuesEncodeWithoutFault)
{
    const float values[] = {1e30f, -1e30f, std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    for (float v : values) {
        const Bytes2 bytes = EncodeFixed(v);
        float back = 1;
        FixedToFloat(bytes.data(), back);
        EXPECT_LE(std::fabs(back), 8.0f) << v;
    }
    EXPECT_EQ(EncodeFixed(1e30f), (Bytes2{0x00, 0x00}));   // a multiple of 2^16 keeps no low bits
}

struct FixedDecodeCase { Bytes2 bytes; float value; bool negative; };

TEST(FixedPoint, Decodes)
{
    const FixedDecodeCase cases[] = {
        {{0x00, 0x18}, 1.5f, false},
        {{0x00, 0x98}, -1.5f, true},
        {{0xFF, 0x7F}, 7.999755859375f, false},
        {{0xFF, 0xFF}, -7.999755859375f, true},
        {{0x00, 0x00}, 0.0f, false},
        {{0x00, 0x80}, 0.0f, true},       // negative zero
        {{0x01, 0x00}, 0.000244140625f, false},
    };
    for (const auto& c : cases) {
        float value = 99;
        FixedToFloat(c.bytes.data(), value);
        EXPECT_EQ(value, c.value) << int(c.bytes[0]) << ' ' << int(c.bytes[1]);
        EXPECT_EQ(std::signbit(value), c.negative);
    }
}

TEST(FixedPoint, EveryPatternSurvivesDecodeThenEncode)
{
    for (int pattern = 0; pattern < 0x10000; ++pattern) {
        const Bytes2 bytes{uint8_t(pattern & 0xFF), uint8_t(pattern >> 8)};
        float value = 0;
        FixedToFloat(bytes.data(), value);
        if (pattern == 0x8000)
            continue;   // negative zero re-encodes as plain zero
        ASSERT_EQ(EncodeFixed(value), bytes) << pattern;
    }
}

struct ExponentEncodeCase { float value; Bytes4 bytes; };

TEST(ExponentFirst, Encodes)
{
    const ExponentEncodeCase cases[] = {
        {1.5f, {0x7F, 0x40, 0x00, 0x00}},
        {-1.5f, {0x7F, 0xC0, 0x00, 0x00}},
        {1000.0f, {0x88, 0x7A, 0x00, 0x00}},
        {0.98765f, {0x7E, 0x7C, 0xD6, 0xA1}},
        {0.0f, {0x00, 0x00, 0x00, 0x00}},
        {-0.0f, {0x00, 0x00, 0x00, 0x00}},
        {1.0f, {0x7F, 0x00, 0x00, 0x00}},
        {std::numeric_limits<float>::max(), {0xFE, 0x7F, 0xFF, 0xFF}},
        {std::ldexp(1.0f, -127), {0x00, 0x00, 0x00, 0x00}},   // a subnormal still follows the rule
        {std::ldexp(1.0f, -128), {0xFF, 0x00, 0x00, 0x00}},   // exponent byte wraps
        {std::numeric_limits<float>::infinity(), {0xFF, 0x00, 0x00, 0x00}},
        {-std::numeric_limits<float>::infinity(), {0xFF, 0x80, 0x00, 0x00}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeExponentFirst(c.value), c.bytes) << c.value;
}

struct ExponentDecodeCase { Bytes4 bytes; double value; };

TEST(ExponentFirst, Decodes)
{
    const ExponentDecodeCase cases[] = {
        {{0x7F, 0x40, 0x00, 0x00}, 1.5},
        {{0x7F, 0xC0, 0x00, 0x00}, -1.5},
        {{0x7E, 0x7C, 0xD6, 0x00}, 0.987640380859375},   // 3-byte form
        {{0x00, 0x00, 0x00, 0x00}, std::ldexp(1.0, -127)},  // no special zero
        {{0xFF, 0x7F, 0xFF, 0xFF}, std::ldexp(2.0 - std::ldexp(1.0, -23), 128)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BytesToFloat(c.bytes[0], c.bytes[1], c.bytes[2], c.bytes[3]), c.value);
}

TEST(ExponentFirst, FourBytesRoundTripExactlyThreeBytesDropTheLowFraction)
{
    const float values[] = {0.98765f, -0.98765f, 1.1f, 3.14159265f, 1e-20f, -7.5e30f, 1000.0f};
    for (float v : values) {
        const Bytes4 b = EncodeExponentFirst(v);
        EXPECT_EQ(float(BytesToFloat(b[0], b[1], b[2], b[3])), v);
        const double shortForm = BytesToFloat(b[0], b[1], b[2], 0);
        EXPECT_LE(std::fabs(shortForm), std::fabs(double(v)));
        EXPECT_LT(std::fabs(shortForm - v), std::ldexp(std::fabs(double(v)), -14));
    }
}

struct NormalizeCase { const char* text; const char* withDot; const char* withComma; };

TEST(NormalizeDecimalText, ReplacesOnlyTheFirstForeignSeparator)
{
    const NormalizeCase cases[] = {
        {"1.5", "1.5", "1,5"},
        {"1,5", "1.5", "1,5"},
        {"1.000.5", "1.000.5", "1,000.5"},
        {"1,000,5", "1.000,5", "1,000,5"},
        {"12", "12", "12"},
        {"", "", ""},
        {",", ".", ","},
        {"abc.def", "abc.def", "abc,def"},
    };
    for (const auto& c : cases) {
        {
            LocaleGuard guard(DotLocale());
            EXPECT_EQ(NormalizeDecimalText(QString::fromUtf8(c.text)), QString::fromUtf8(c.withDot)) << c.text;
        }
        {
            LocaleGuard guard(CommaLocale());
            EXPECT_EQ(NormalizeDecimalText(QString::fromUtf8(c.text)), QString::fromUtf8(c.withComma)) << c.text;
        }
    }
}

}  // namespace
