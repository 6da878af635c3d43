// Frame layouts of both dialects byte for byte, and what the link does around each frame.
#include "LinkFixture.h"

#include "link/Frames.h"

#include <functional>
#include <sstream>

namespace {

using Event = FakeLine::Event;

std::vector<uint8_t> Hex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    std::istringstream in(text);
    unsigned value = 0;
    while (in >> std::hex >> value)
        bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

TEST(HexPrimitives, EveryByteRoundTripsAsUpperCaseDigits)
{
    for (int value = 0; value < 256; ++value) {
        uint8_t text[2];
        N2HexByte(static_cast<uint8_t>(value), text);
        for (uint8_t c : text)
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << value;
        EXPECT_EQ(N2ParseHexByte(text), value);
    }
}

TEST(HexPrimitives, ParseTable)
{
    struct Case { const char* text; int value; };
    for (const Case& c : {Case{"1C", 28}, Case{"FF", 255}, Case{"00", 0}, Case{"9A", 0x9A}, Case{"A0", 0xA0}}) {
        EXPECT_EQ(N2ParseHexByte(reinterpret_cast<const uint8_t*>(c.text)), c.value) << c.text;
    }
    // Lower case is not validated: it decodes to something else, silently.
    EXPECT_NE(N2ParseHexByte(reinterpret_cast<const uint8_t*>("1c")), 28);
}

TEST(HexPrimitives, ChecksumTable)
{
    const uint8_t identify[] = {'0', '1', 'F'};
    const uint8_t high[] = {0xFF, 0xFF, 0xFF};
    EXPECT_EQ(N2Checksum(identify, 3), 0xA7);
    EXPECT_EQ(N2Checksum(high, 3), 0xFD);   // wraps modulo 256
    EXPECT_EQ(N2Checksum(high, 1), 0xFF);
    EXPECT_EQ(N2Checksum(high, 0), 0);
    EXPECT_EQ(N2Checksum(high, -5), 0);
}

struct FrameCase {
    const char* name;
    std::function<int(std::span<uint8_t>)> send;
    std::vector<uint8_t> frame;
    int replyLength;   // 0: a config write, which reads nothing
};

// Short names in test listings.
void PrintTo(const FrameCase& c, std::ostream* os)
{
    *os << c.name;
}

const uint8_t BlockData[] = {0x0D, 0x21, 0xFF};

std::vector<FrameCase> FrameCases()
{
    return {
        {"Identify", [](std::span<uint8_t> r) { return N2Identify(1, r); }, Bytes(">01FA7\r"), 6},
        {"IdentifyAddress255", [](std::span<uint8_t> r) { return N2Identify(255, r); }, Bytes(">FFFD2\r"), 6},
        {"IdentifyAddressModulo256", [](std::span<uint8_t> r) { return N2Identify(257, r); }, Bytes(">01FA7\r"), 6},
        {"ReadStatus", [](std::span<uint8_t> r) { return N2ReadStatus(1, r); }, Bytes(">0109CA\r"), 28},
        {"ReadPoint", [](std::span<uint8_t> r) { return N2ReadPoint(1, 0, 3, r); }, Bytes(">0111000386\r"), 14},
        {"WriteCommandOneByte", [](std::span<uint8_t> r) { return N2WriteCommand(1, 0, 1, 2, r); }, Bytes(">0124000102EA\r"), 4},
        {"WriteCommandOneByteSendsLowByte", [](std::span<uint8_t> r) { return N2WriteCommand(1, 0, 1, 0x1234, r); },
         Bytes(">0124000134EF\r"), 4},
        {"WriteCommandTwoBytes", [](std::span<uint8_t> r) { return N2WriteCommand(17, 5, 2, 0x1234, r); },
         Bytes(">11240502123459\r"), 4},
        {"WriteValue", [](std::span<uint8_t> r) { return N2WriteValue(1, 2, 300, r); }, Bytes(">012602012C01\r"), 4},
        {"CfgReadSerialNumberSendsZeros", [](std::span<uint8_t> r) { return CfgReadSerialNumber(r); },
         Hex("21 00 00 00 00 52 30 0D"), 256},
        {"CfgWriteSerialNumber", [](std::span<uint8_t>) { return CfgWriteSerialNumber(305419896); },
         Hex("21 12 34 56 78 57 30 0D"), 0},
        {"CfgWriteAddressCarriageReturnInside", [](std::span<uint8_t>) { return CfgWriteAddress(0x01020304, 13); },
         Hex("21 01 02 03 04 57 31 0D 0D"), 0},
        {"CfgReadBlock", [](std::span<uint8_t> r) { return CfgReadBlock(258, 1, 0, 18, r); },
         Hex("21 00 00 01 02 52 32 01 00 12 0D"), 256},
        {"CfgWriteBlockEmpty", [](std::span<uint8_t>) { return CfgWriteBlock(258, 2, 0, {}); },
         Hex("21 00 00 01 02 57 32 02 00 00 0D"), 0},
        {"CfgWriteBlockRawData", [](std::span<uint8_t>) { return CfgWriteBlock(258, 2, 0, BlockData); },
         Hex("21 00 00 01 02 57 32 02 00 03 0D 21 FF 0D"), 0},
        {"CfgReadInfo", [](std::span<uint8_t> r) { return CfgReadInfo(0xFFFFFFFF, r); }, Hex("21 FF FF FF FF 52 33 0D"), 256},
    };
}

class FrameTest : public FakeLinkTest, public ::testing::WithParamInterface<FrameCase> {};

// Reads empty both queues first; config writes empty only the transmit queue and read nothing.
TEST_P(FrameTest, SendsExactFrameInsideTheLinkSequence)
{
    const FrameCase& c = GetParam();
    const int result = c.send(reply_);
    EXPECT_EQ(result, c.replyLength > 0 ? -1 : 1);

    std::vector<Event> expected{Event::PurgeOutput, Event::PurgeInput, Event::RtsRaised, Event::Write,
                                Event::RtsDropped, Event::Read};
    if (c.replyLength == 0)
        expected = {Event::PurgeOutput, Event::RtsRaised, Event::Write, Event::RtsDropped};
    ASSERT_EQ(line_.events(), expected);

    const FakeLine::Record& write = line_.log()[c.replyLength > 0 ? 3 : 2];
    EXPECT_EQ(write.bytes, c.frame);
    EXPECT_EQ(write.timeoutMs, 100 + 10 * static_cast<int>(c.frame.size()));
    if (c.replyLength > 0) {
        const FakeLine::Record& read = line_.log().back();
        EXPECT_EQ(read.maxLength, c.replyLength);
        EXPECT_EQ(read.intervalMs, 50);
        EXPECT_EQ(read.timeoutMs, 10 + 10 * c.replyLength);
    }
}

INSTANTIATE_TEST_SUITE_P(BothDialects, FrameTest, ::testing::ValuesIn(FrameCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Nothing reaches the line for a reply buffer smaller than the reply the request asks for.
TEST_F(FakeLinkTest, EveryRequestRefusesABufferOneByteShortOfItsReply)
{
    for (const FrameCase& c : FrameCases()) {
        if (c.replyLength == 0)
            continue;   // a config write reads no reply
        line_.clearLog();
        EXPECT_EQ(c.send(std::span(reply_).first(c.replyLength - 1)), -1) << c.name;
        EXPECT_TRUE(line_.log().empty()) << c.name;
        c.send(std::span(reply_).first(c.replyLength));
        EXPECT_EQ(line_.frames().size(), 1u) << c.name;
    }
}

TEST_F(FakeLinkTest, BlockWriteFillsTheWholeFrameAreaButNoMore)
{
    std::vector<uint8_t> data(246, 0x55);
    EXPECT_EQ(CfgWriteBlock(1, 1, 0, std::span(data).first(245)), 1);
    ASSERT_EQ(line_.frames().size(), 1u);
    EXPECT_EQ(line_.frames()[0].size(), 256u);
    EXPECT_EQ(line_.frames()[0][9], 245);
    EXPECT_EQ(line_.frames()[0].back(), 0x0D);

    line_.clearLog();
    EXPECT_EQ(CfgWriteBlock(1, 1, 0, data), -1);
    EXPECT_EQ(CfgWriteBlock(1, 1, 0, std::vector<uint8_t>(300, 0x55)), -1);   // the count byte would wrap
    EXPECT_TRUE(line_.log().empty());
}

// A write command carrying fieldCount hex fields; four fill the area exactly.
N2Frame CommandFrame(int fieldCount)
{
    N2Frame frame(1, "24");
    for (int field = 0; field < fieldCount; ++field)
        frame.addHex(field);
    frame.finish();
    return frame;
}

TEST(FrameBuilder, AFrameThatDoesNotFitIsMarkedAndNothingIsWrittenPastItsArea)
{
    for (int fieldCount : {4, 5}) {
        const N2Frame frame = CommandFrame(fieldCount);
        EXPECT_EQ(frame.fits(), fieldCount == 4) << fieldCount;
        EXPECT_EQ(frame.bytes().size(), N2Frame::Capacity) << fieldCount;
    }

    CfgFrame block(1, 'W', '2');
    for (size_t i = 0; i < CfgFrame::Capacity; ++i)
        block.add(0x55);
    block.finish();
    EXPECT_FALSE(block.fits());
    EXPECT_EQ(block.bytes().size(), CfgFrame::Capacity);
}

}  // namespace
