// Adapters that hand back the frame just sent ahead of the reply: every request gives the same
// result, bytes and waits as on a line without echo, and a line without echo is read as before.
#include "LinkFixture.h"

#include <functional>

namespace {

using Chunk = FakeLine::Chunk;

struct EchoCase {
    const char* name;
    int replyLength;                           // what the request asks for
    std::function<int(std::span<uint8_t> reply)> send;   // the request
    FakeLine::Reply reply;                     // what the meter says after the request
    int result;
    std::string received;
    long long waitedMs;
};

void PrintTo(const EchoCase& c, std::ostream* os)
{
    *os << c.name;
}

const auto Identify = [](std::span<uint8_t> r) { return N2Identify(1, r); };
const auto Status = [](std::span<uint8_t> r) { return N2ReadStatus(1, r); };
const auto Point = [](std::span<uint8_t> r) { return N2ReadPoint(1, 5, 3, r); };
const auto Command = [](std::span<uint8_t> r) { return N2WriteCommand(1, 0, 2, 0x1234, r); };
const auto Info = [](std::span<uint8_t> r) { return CfgReadInfo(0x0D21210D, r); };

const std::string StatusReply = "A1000000001234567000000012C\r";

class EchoTest : public FakeLinkTest, public ::testing::WithParamInterface<EchoCase> {
protected:
    struct Outcome {
        int result;
        std::string received;
        long long waitedMs;
        int reads;
    };
    // The caller's buffer holds the reply alone, so a byte written past it is caught.
    Outcome Run(bool echo)
    {
        const EchoCase& c = GetParam();
        line_.setEcho(echo);
        line_.clearLog();
        line_.queueReply(c.reply);
        std::vector<uint8_t> reply(static_cast<size_t>(c.replyLength));
        const int result = c.send(reply);
        int reads = 0;
        for (FakeLine::Event e : line_.events())
            reads += e == FakeLine::Event::Read;
        const size_t kept = static_cast<size_t>(std::max(result, 0));
        return {result, std::string(reply.begin(), reply.begin() + kept), line_.virtualMs(), reads};
    }
};

TEST_P(EchoTest, SameReplyAndWaitWithAndWithoutEcho)
{
    const EchoCase& c = GetParam();
    const Outcome plain = Run(false);
    EXPECT_EQ(plain.result, c.result);
    EXPECT_EQ(plain.received, c.received);
    EXPECT_EQ(plain.waitedMs, c.waitedMs);
    EXPECT_EQ(plain.reads, 1) << "a line without echo is read once, as before";

    const Outcome echoed = Run(true);
    EXPECT_EQ(echoed.result, c.result);
    EXPECT_EQ(echoed.received, c.received);
    EXPECT_EQ(echoed.waitedMs, c.waitedMs);
}

INSTANTIATE_TEST_SUITE_P(Requests, EchoTest, ::testing::Values(
    // Replies shorter than the frame: the read fills up inside the echo.
    EchoCase{"IdentifyAnswered", 6, Identify, {{5, Bytes("A0010\r")}}, 6, "A0010\r", 5},
    EchoCase{"IdentifySilent", 6, Identify, {}, -1, "", 70},
    EchoCase{"WriteAnswered", 4, Command, {{3, Bytes("A00\r")}}, 4, "A00\r", 3},
    EchoCase{"WriteSilent", 4, Command, {}, -1, "", 50},
    // Replies longer than the frame: the read runs from the echo into the reply.
    EchoCase{"StatusAnswered", 28, Status, {{5, Bytes(StatusReply)}}, 28, StatusReply, 5},
    EchoCase{"StatusSilent", 28, Status, {}, -1, "", 290},
    EchoCase{"StatusAfterMoreThanTheGap", 28, Status, {{60, Bytes(StatusReply)}}, 28, StatusReply, 60},
    EchoCase{"StatusCutShort", 28, Status, {{5, Bytes("A1000")}, {60, Bytes("000")}}, 5, "A1000", 55},
    EchoCase{"StatusInPieces", 28, Status, {{5, Bytes("A1000000")}, {30, Bytes(StatusReply.substr(8))}}, 28,
             StatusReply, 35},
    EchoCase{"PointAnswered", 14, Point, {{2, Bytes("A0043670000C2\r")}}, 14, "A0043670000C2\r", 2},
    EchoCase{"PointTooLate", 14, Point, {{151, Bytes("A0043670000C2\r")}}, -1, "", 150},
    // Config replies end by the gap after their last byte.
    EchoCase{"ConfigAnswered", 256, Info, {{5, Bytes("\x06\x12\x34")}}, 3, "\x06\x12\x34", 55},
    EchoCase{"ConfigSilent", 256, Info, {}, -1, "", 2570},
    // Bytes that only begin like the frame are a reply, as without echo.
    EchoCase{"ReplyLikeTheFrameStart", 28, Status, {{5, Bytes(">01")}}, 3, ">01", 55}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FakeLinkTest, AReplyOfTheFramesFirstBytesIsNotAnEcho)
{
    // Six bytes that equal the identify frame's first six fill the read; the seventh never
    // comes, so they were the reply.
    line_.queueReply(Bytes(">01FA7"));
    std::vector<uint8_t> reply(6);
    EXPECT_EQ(N2Identify(1, reply), 6);
    EXPECT_EQ(std::string(reply.begin(), reply.end()), ">01FA7");
}

TEST_F(FakeLinkTest, EchoOfAnEarlierFrameIsAReply)
{
    // Only the frame just sent is dropped: the echo of another one is handed up.
    line_.queueReply(Bytes(">02FA8\r"));
    std::vector<uint8_t> reply(6);
    EXPECT_EQ(N2Identify(1, reply), 6);
    EXPECT_EQ(std::string(reply.begin(), reply.end()), ">02FA8");
}

TEST_F(FakeLinkTest, ConfigWriteEchoWaitsForTheNextReadsPurge)
{
    line_.setEcho(true);
    EXPECT_EQ(CfgWriteAddress(1, 2), 1);
    line_.queueReply({{5, Bytes(std::string("\x06\x00\x00\x00\x01", 5))}});
    std::vector<uint8_t> reply(256);
    EXPECT_EQ(CfgReadSerialNumber(reply), 5);
    EXPECT_EQ(reply[4], 1);
}

}  // namespace
