// Request results, time-outs, failures and port state, through the scripted line.
#include "LinkFixture.h"
#include "link/PortMap.h"

namespace {

using Event = FakeLine::Event;
using Chunk = FakeLine::Chunk;

struct ReplyCase {
    const char* name;
    FakeLine::Reply reply;
    int result;
    std::string received;
    long long waitedMs;   // what the real port would have waited for a 6-byte reply
};

// Short names in test listings.
void PrintTo(const ReplyCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReplyTest : public FakeLinkTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyTest, IdentifyReturnsWhatArrivedWithinTheTimeOuts)
{
    const ReplyCase& c = GetParam();
    line_.queueReply(c.reply);
    EXPECT_EQ(N2Identify(1, reply_), c.result);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(reply_), c.received.size()), c.received);
    EXPECT_EQ(line_.virtualMs(), c.waitedMs);
}

INSTANTIATE_TEST_SUITE_P(Replies, ReplyTest, ::testing::Values(
    ReplyCase{"Whole", {{5, Bytes("ABCDEF")}}, 6, "ABCDEF", 5},
    ReplyCase{"None", {}, -1, "", 70},
    ReplyCase{"ShortEndsAfterTheGap", {{5, Bytes("ABC")}}, 3, "ABC", 55},
    ReplyCase{"LongIsCutAtTheRequestedLength", {{0, Bytes("ABCDEFGHIJ")}}, 6, "ABCDEF", 0},
    ReplyCase{"GarbageIsHandedUpUnchanged", {{0, Bytes(std::string("\xff\x00z\r", 4))}}, 4, std::string("\xff\x00z\r", 4), 50},
    ReplyCase{"SplitWithinTheGapIsWhole", {{0, Bytes("AB")}, {20, Bytes("CDEF")}}, 6, "ABCDEF", 20},
    ReplyCase{"SplitBeyondTheGapIsShort", {{0, Bytes("AB")}, {60, Bytes("CDEF")}}, 2, "AB", 50},
    ReplyCase{"TooLateIsNothing", {{71, Bytes("ABCDEF")}}, -1, "", 70}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FakeLinkTest, ConfigReadWaitsTheFullTimeOutForNothing)
{
    EXPECT_EQ(CfgReadInfo(1, reply_), -1);
    EXPECT_EQ(line_.virtualMs(), 2570);
}

TEST_F(FakeLinkTest, RemainderOfALongReplyIsPurgedBeforeTheNextRequest)
{
    line_.queueReply(Bytes("ABCDEFGHIJ"));
    line_.queueReply(Bytes("XY"));
    EXPECT_EQ(N2Identify(1, reply_), 6);
    EXPECT_EQ(N2Identify(1, reply_), 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(reply_), 2), "XY");
}

TEST_F(FakeLinkTest, WriteFailureLeavesRtsRaisedAndTheNextRequestWorks)
{
    line_.failNextWrites(1);
    line_.queueReply(Bytes("ABCDEF"));
    EXPECT_EQ(N2Identify(1, reply_), -1);
    EXPECT_TRUE(line_.rtsRaised());
    const std::vector<Event> failed{Event::PurgeOutput, Event::PurgeInput, Event::RtsRaised, Event::Write,
                                    Event::ClearError, Event::Read};
    EXPECT_EQ(line_.events(), failed);

    EXPECT_EQ(N2Identify(1, reply_), 6);
    EXPECT_FALSE(line_.rtsRaised());
}

TEST_F(FakeLinkTest, ConfigWriteReportsAWriteFailure)
{
    line_.failNextWrites(1);
    EXPECT_EQ(CfgWriteAddress(1, 2), -1);
    EXPECT_EQ(CfgWriteAddress(1, 2), 1);
}

TEST_F(FakeLinkTest, ReadFailureClearsTheErrorAndGivesMinusOne)
{
    line_.failNextReads(1);
    line_.queueReply(Bytes("ABCDEF"));
    EXPECT_EQ(N2Identify(1, reply_), -1);
    EXPECT_EQ(line_.events().back(), Event::ClearError);
    line_.queueReply(Bytes("ABCDEF"));
    EXPECT_EQ(N2Identify(1, reply_), 6);
}

TEST_F(FakeLinkTest, ConfigWriteAnswerWaitsForTheNextReadsPurge)
{
    line_.queueReply(Bytes("ACK"));
    line_.queueReply(Bytes("!1234"));
    EXPECT_EQ(CfgWriteSerialNumber(0x31323334), 1);
    EXPECT_EQ(CfgReadSerialNumber(reply_), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(reply_), 5), "!1234");
}

TEST_F(FakeLinkTest, FailedOpenLeavesNoPortAndRequestsWaitTheirReadTimeOut)
{
    line_.setOpenFails(true);
    EXPECT_EQ(N2OpenPort("COM2", 9600, 8, 0, 0), -1);
    line_.clearLog();
    EXPECT_EQ(N2Identify(1, reply_), -1);
    EXPECT_EQ(line_.virtualMs(), 70);
    EXPECT_EQ(CfgReadBlock(1, 2, 0, 12, reply_), -1);
    EXPECT_EQ(line_.virtualMs(), 70 + 2570);
    // A config write reads nothing, so it has no read time-out to wait.
    EXPECT_EQ(CfgWriteBlock(1, 2, 0, {}), -1);
    EXPECT_EQ(line_.virtualMs(), 70 + 2570);
}

TEST_F(FakeLinkTest, CloseReportsWhetherAPortWasOpen)
{
    EXPECT_NE(N2ClosePort(), 0);
    EXPECT_EQ(N2ClosePort(), 0);
    EXPECT_EQ(N2Identify(1, reply_), -1);
}

TEST_F(FakeLinkTest, StartUpOpenSetsTheDelaysEvenWhenItFails)
{
    ConfigWriteDelay = 1;
    CommandDelay = 2;
    line_.setOpenFails(true);
    EXPECT_EQ(N2OpenPort("COM1", 9600), -1);
    EXPECT_EQ(ConfigWriteDelay, 3000);
    EXPECT_EQ(CommandDelay, 1000);

    ConfigWriteDelay = 5;
    N2OpenPort("COM2", 9600, 8, 0, 0);
    EXPECT_EQ(ConfigWriteDelay, 5);
    ConfigWriteDelay = 3000;
}

TEST_F(FakeLinkTest, OpenPassesTheMappedDeviceToTheLine)
{
    N2OpenPort("COM2", 19200, 8, 0, 0);
    EXPECT_EQ(line_.devicePath(), N2DevicePath("COM2"));
    EXPECT_EQ(line_.baudRate(), 19200);
}

}  // namespace
