// The N2 dialect of the simulated meter: each request kind, its reply, and what it ignores.

#include "tests/sim/MeterTestSupport.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

sim::MeterSettings Quiet()
{
    sim::MeterSettings s;
    s.noNoise = true;
    s.frozenEnergies = true;
    return s;
}

struct ReplyCase {
    const char* name;
    std::string body;   // without '>' and checksum
    size_t length;
    char lead;          // 'A' done, 'N' refused
};

void PrintTo(const ReplyCase& c, std::ostream* out) { *out << c.name; }

class N2Replies : public testing::TestWithParam<ReplyCase> {};

TEST_P(N2Replies, LengthLeadChecksumAndCr)
{
    sim::MeterCore meter(Quiet());
    const Bytes reply = Ask(meter, N2(GetParam().body));
    ASSERT_EQ(reply.size(), GetParam().length) << Text(reply);
    EXPECT_EQ(reply.front(), GetParam().lead);
    EXPECT_EQ(reply.back(), '\r');
    const std::string inside = Text(reply).substr(1, reply.size() - 2);
    EXPECT_TRUE(IsUpperHex(inside)) << inside;
    if (GetParam().lead == 'A') {
        const std::string data = inside.substr(0, inside.size() - 2);
        EXPECT_EQ(inside.substr(inside.size() - 2), Hex(Sum(data)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, N2Replies,
    testing::Values(ReplyCase{"Identify", "01F", 6, 'A'},
                    ReplyCase{"Status", "0109", 28, 'A'},
                    ReplyCase{"PointRead", "0111" + Hex(0) + Hex(3), 14, 'A'},
                    ReplyCase{"LastPoint", "0111" + Hex(32) + Hex(3), 14, 'A'},
                    ReplyCase{"ResetCommand", "0124" + Hex(0) + Hex(1) + Hex(2), 4, 'A'},
                    ReplyCase{"NoSuchPoint", "0111" + Hex(33) + Hex(3), 4, 'N'},
                    ReplyCase{"OtherAttribute", "0111" + Hex(0) + Hex(2), 4, 'N'},
                    ReplyCase{"TwoByteCommand", "0124" + Hex(5) + Hex(2) + Hex(0x1234, 4), 4, 'N'},
                    ReplyCase{"DeltaWithoutJumper", "0126" + Hex(2) + Hex(300, 4), 4, 'N'},
                    ReplyCase{"UnknownCommand", "0177", 4, 'N'}),
    [](const auto& info) { return info.param.name; });

TEST(N2Request, FramesOfTheProgramAreAnswered)
{
    // Frames exactly as the program writes them, checksums included.
    sim::MeterCore meter(Quiet());
    for (const std::string frame : {">01FA7\r", ">0109CA\r", ">0111000386\r", ">0124000102EA\r"})
        EXPECT_FALSE(Ask(meter, Bytes(frame.begin(), frame.end())).empty()) << frame;
}

TEST(N2Request, StatusCarriesSerialNumberAndCode)
{
    sim::MeterSettings s = Quiet();
    s.serialNumber = 0x89ABCDEF;
    s.statusCode = 0x0102;
    sim::MeterCore meter(s);
    const std::string reply = Text(Ask(meter, N2("0109")));
    EXPECT_EQ(reply.substr(9, 8), "89ABCDEF");
    EXPECT_EQ(reply.substr(21, 4), "0102");
}

TEST(N2Request, PointCarriesIeeeSingle)
{
    sim::MeterCore meter(Quiet());
    meter.setPoint(5, 1.0f);
    meter.setPoint(24, -2.5f);
    EXPECT_EQ(Text(Ask(meter, N2("0111" + Hex(5) + "03"))).substr(3, 8), "3F800000");
    EXPECT_EQ(Text(Ask(meter, N2("0111" + Hex(24) + "03"))).substr(3, 8), "C0200000");
}

struct IgnoredCase {
    const char* name;
    int meterAddress;
    Bytes request;
};

void PrintTo(const IgnoredCase& c, std::ostream* out) { *out << c.name; }

class N2Ignored : public testing::TestWithParam<IgnoredCase> {};

TEST_P(N2Ignored, NoReplyButRecorded)
{
    sim::MeterSettings s = Quiet();
    s.address = GetParam().meterAddress;
    sim::MeterCore meter(s);
    EXPECT_TRUE(Ask(meter, GetParam().request).empty());
    ASSERT_EQ(meter.exchanges().size(), 1u);
    EXPECT_EQ(meter.exchanges()[0].request, GetParam().request);
    EXPECT_TRUE(meter.exchanges()[0].reply.empty());
}

Bytes WithChecksum(const std::string& text) { return Bytes(text.begin(), text.end()); }

INSTANTIATE_TEST_SUITE_P(
    Cases, N2Ignored,
    testing::Values(IgnoredCase{"WrongChecksum", 1, WithChecksum(">01FA8\r")},
                    IgnoredCase{"OtherAddress", 1, N2("02F")},
                    IgnoredCase{"NoBroadcastAt255", 1, N2("FFF")},
                    IgnoredCase{"ZeroIsNotAnyone", 1, N2("00F")},
                    IgnoredCase{"LowerCaseHex", 0xAB, N2("abF")},
                    IgnoredCase{"TooShort", 1, WithChecksum(">01\r")}),
    [](const auto& info) { return info.param.name; });

TEST(N2Request, Address255IsAnOrdinaryAddress)
{
    sim::MeterSettings s = Quiet();
    s.address = 255;
    sim::MeterCore meter(s);
    EXPECT_EQ(Ask(meter, N2("FFF")).size(), 6u);
    EXPECT_TRUE(Ask(meter, N2("01F")).empty());
}

TEST(N2Stream, NoiseSkippedAndFramesSplitAnywhere)
{
    sim::MeterCore meter(Quiet());
    Bytes stream = {'x', 0x0D, 0x00, '>', '0'};   // noise and a broken-off frame
    for (const Bytes& frame : {N2("01F"), N2("0109"), N2("0111" + Hex(7) + "03")})
        stream.insert(stream.end(), frame.begin(), frame.end());
    std::vector<Bytes> replies;
    for (uint8_t byte : stream)
        for (Bytes& r : meter.feed(&byte, 1, 0))
            replies.push_back(r);
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0].size(), 6u);
    EXPECT_EQ(replies[1].size(), 28u);
    EXPECT_EQ(replies[2].size(), 14u);
    EXPECT_EQ(Ask(meter, {}).size(), 0u);
}

}  // namespace
