// Reply fields: exact length and upper-case hex, or no value at all.
#include "link/N2Decode.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

const uint8_t* Data(const std::string& text)
{
    return reinterpret_cast<const uint8_t*>(text.data());
}

// '>' and filler around the serial number (9..16) and the error code (21..24).
std::string StatusReply(const std::string& serial, const std::string& code)
{
    return "A00000000" + serial + "0000" + code + "9F\r";
}

struct StatusCase {
    const char* name;
    std::string reply;
    int count;
    bool serialOk;
    bool statusOk;
    int32_t serial;
    uint16_t code;
};

// Short names in test listings.
void PrintTo(const StatusCase& c, std::ostream* os)
{
    *os << c.name;
}

class StatusDecode : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusDecode, Table)
{
    const StatusCase& c = GetParam();
    N2Status status{-7, 7};
    int32_t serial = -7;
    EXPECT_EQ(N2DecodeStatus(Data(c.reply), c.count, status), c.statusOk);
    EXPECT_EQ(N2DecodeSerialNumber(Data(c.reply), c.count, serial), c.serialOk);
    if (c.statusOk) {
        EXPECT_EQ(status.serialNumber, c.serial);
        EXPECT_EQ(status.errorCode, c.code);
    }
    if (c.serialOk)
        EXPECT_EQ(serial, c.serial);
    else
        EXPECT_EQ(serial, -7);
}

INSTANTIATE_TEST_SUITE_P(Replies, StatusDecode, ::testing::Values(
    StatusCase{"Good", StatusReply("0012D687", "0103"), 28, true, true, 1234567, 0x0103},
    StatusCase{"NegativeSerial", StatusReply("FFFFFFFE", "0000"), 28, true, true, -2, 0},
    StatusCase{"ShortCount", StatusReply("0012D687", "0103"), 27, false, false, 0, 0},
    StatusCase{"NoReply", StatusReply("0012D687", "0103"), -1, false, false, 0, 0},
    StatusCase{"LowerCaseSerial", StatusReply("0012d687", "0103"), 28, false, false, 0, 0},
    StatusCase{"NonHexSerial", StatusReply("0012G687", "0103"), 28, false, false, 0, 0},
    StatusCase{"NonHexCodeKeepsSerial", StatusReply("0012D687", "01 3"), 28, true, false, 1234567, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PointDecode, Table)
{
    struct Case { std::string reply; int count; bool ok; float value; };
    for (const Case& c : {Case{"A003F80000099\r", 14, true, 1.0f}, Case{"A00C0490FDB99\r", 14, true, -3.14159274f},
                          Case{"A003F80000099\r", 13, false, 0}, Case{"A003f80000099\r", 14, false, 0},
                          Case{"A003F8000-099\r", 14, false, 0}}) {
        float value = 42;
        EXPECT_EQ(N2DecodePoint(Data(c.reply), c.count, value), c.ok) << c.reply;
        EXPECT_EQ(value, c.ok ? c.value : 42.0f) << c.reply;
    }
}

TEST(HexField, CountsOnlyUpperCaseDigits)
{
    EXPECT_TRUE(N2IsHexField(Data("09AF"), 2));
    EXPECT_TRUE(N2IsHexField(Data("zz"), 0));
    EXPECT_FALSE(N2IsHexField(Data("09aF"), 2));
    EXPECT_FALSE(N2IsHexField(Data("0G"), 1));
    EXPECT_FALSE(N2IsHexField(nullptr, 1));
}

TEST(BlockDecode, LeadingByteThenTheWholeBlockOrNothing)
{
    const uint8_t reply[] = {0xAA, 1, 2, 3, 4, 0x0D};
    struct Case { int count; bool ok; };
    for (const Case& c : {Case{6, true}, Case{5, true}, Case{4, false}, Case{1, false}, Case{-1, false}}) {
        std::array<uint8_t, 4> block{9, 9, 9, 9};
        EXPECT_EQ(CfgDecodeBlock(reply, c.count, block), c.ok) << c.count;
        EXPECT_EQ(block, c.ok ? (std::array<uint8_t, 4>{1, 2, 3, 4}) : (std::array<uint8_t, 4>{9, 9, 9, 9})) << c.count;
    }
}

TEST(InfoDecode, StartCounterAfterTheLeadingByte)
{
    const uint8_t reply[] = {0xAA, 0x12, 0x34, 0x0D};
    struct Case { int count; bool ok; };
    for (const Case& c : {Case{4, true}, Case{3, true}, Case{2, false}, Case{-1, false}}) {
        uint16_t starts = 7;
        EXPECT_EQ(CfgDecodeInfo(reply, c.count, starts), c.ok) << c.count;
        EXPECT_EQ(starts, c.ok ? 0x1234 : 7) << c.count;
    }
}

}  // namespace
