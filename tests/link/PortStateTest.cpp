// The port's life through the scripted line: why an open failed, RTS at open, requests without
// a port, a device that goes away and comes back, line errors, the RTS turnaround's timing.
#include "LinkFixture.h"

#include "link/PortState.h"

#include <chrono>
#include <cstdlib>

namespace {

using Event = FakeLine::Event;
using Chunk = FakeLine::Chunk;
using namespace std::chrono_literals;

class PortStateTest : public FakeLinkTest {
protected:
    void SetUp() override
    {
        setenv("QVT_N2_COM1", "/dev/ttyUSB0", 1);
        N2WatchPort([this](const N2PortStatus& status) { told_.push_back(status); });
        FakeLinkTest::SetUp();
        told_.clear();
    }
    void TearDown() override
    {
        N2WatchPort(nullptr);
        N2ClosePort();
        FakeLinkTest::TearDown();
        unsetenv("QVT_N2_COM1");
    }
    int OpensLogged() const
    {
        int opens = 0;
        for (Event event : line_.events())
            opens += event == Event::Open;
        return opens;
    }
    // Identify requests until the port is open again or limit requests have failed.
    int FailUntilOpen(int limit)
    {
        int failed = 0;
        while (!N2CurrentPortStatus().open && failed < limit && N2Identify(1, reply_) == -1)
            ++failed;
        return failed;
    }

    std::vector<N2PortStatus> told_;
};

struct ReasonCase {
    const char* name;
    OpenResult result;
    const char* reason;
    const char* sentence;
};

void PrintTo(const ReasonCase& c, std::ostream* os)
{
    *os << c.name;
}

OpenResult Failure(OpenFailure failure, const char* lockFile = "", long long holder = 0, const char* error = "")
{
    OpenResult result;
    result.failure = failure;
    result.lockFile = lockFile;
    result.holder = holder;
    result.systemError = error;
    return result;
}

class OpenReasonTest : public PortStateTest, public ::testing::WithParamInterface<ReasonCase> {};

TEST_P(OpenReasonTest, FailedOpenKeepsItsReasonAndSentence)
{
    const ReasonCase& c = GetParam();
    line_.setOpenResult(c.result);
    EXPECT_EQ(N2OpenPort("COM1", 9600, 8, 0, 0), -1);
    const N2PortStatus& status = N2CurrentPortStatus();
    EXPECT_FALSE(status.open);
    EXPECT_EQ(status.reason, c.reason);
    EXPECT_EQ(status.sentence, c.sentence);
    ASSERT_EQ(told_.size(), 1u);
    EXPECT_EQ(told_[0].sentence, c.sentence);
    EXPECT_EQ(line_.events(), std::vector<Event>{Event::Open});
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, OpenReasonTest,
    ::testing::Values(
        ReasonCase{"NotFound", Failure(OpenFailure::NotFound), "not found",
                   "COM1 (/dev/ttyUSB0): not found. Check that the adapter is plugged in, or choose another port."},
        ReasonCase{"NoPermission", Failure(OpenFailure::NoPermission), "no permission",
                   "COM1 (/dev/ttyUSB0): no permission. Add your user to the dialout group and log in again."},
        ReasonCase{"BusyDevice", Failure(OpenFailure::InUse), "in use",
                   "COM1 (/dev/ttyUSB0): in use. Another program has it open; close that program or choose another port."},
        ReasonCase{"LiveLockFile", Failure(OpenFailure::InUse, "/var/lock/LCK..ttyUSB0", 4321), "in use",
                   "COM1 (/dev/ttyUSB0): in use. Process 4321 holds its lock file /var/lock/LCK..ttyUSB0; close that "
                   "program or choose another port."},
        ReasonCase{"StaleLockFile", Failure(OpenFailure::StaleLock, "/var/lock/LCK..ttyUSB0"), "not open",
                   "COM1 (/dev/ttyUSB0): not open. A program that has ended left the lock file /var/lock/LCK..ttyUSB0, "
                   "which this user cannot remove; remove it as root."},
        ReasonCase{"AnythingElse", Failure(OpenFailure::Other, "", 0, "Input/output error"), "not open",
                   "COM1 (/dev/ttyUSB0): not open. Input/output error."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortStateTest, OpenTellsOfTheOpenPortAndDropsTheRtsTheOpenRaised)
{
    N2ClosePort();
    line_.clearLog();
    EXPECT_EQ(N2OpenPort("COM1", 9600, 8, 0, 0), 1);
    EXPECT_EQ(line_.events(), (std::vector<Event>{Event::Open, Event::RtsDropped}));
    EXPECT_FALSE(line_.rtsRaised());
    ASSERT_EQ(told_.size(), 1u);
    EXPECT_TRUE(told_[0].open);
    EXPECT_EQ(told_[0].reason, "");
    EXPECT_EQ(told_[0].sentence, "");
}

TEST_F(PortStateTest, PortThatDidNotOpenIsTriedAgainAtMostOnceASecond)
{
    line_.setOpenFails(true);
    ASSERT_EQ(N2OpenPort("COM1", 9600, 8, 0, 0), -1);
    line_.clearLog();
    const long long start = line_.clockMs();
    for (int i = 0; i < 45; ++i)
        EXPECT_EQ(N2Identify(1, reply_), -1);
    // Each failed request waited as on a dead line: 45 identify time-outs of 70 ms.
    EXPECT_EQ(line_.clockMs() - start, 45 * 70);
    EXPECT_EQ(OpensLogged(), 2);
    long long lastOpen = start;
    long long clock = start;
    for (const FakeLine::Record& r : line_.log()) {
        clock += r.event == Event::Read ? r.timeoutMs : 0;
        if (r.event == Event::Open) {
            EXPECT_GE(clock - lastOpen, 1000);
            lastOpen = clock;
        }
    }
    EXPECT_EQ(told_.size(), 1u) << "a retry that fails for the same reason is no news";

    line_.setOpenFails(false);
    line_.setResponder([](const std::vector<uint8_t>&) { return FakeLine::Reply{Chunk{0, Bytes("ABCDEF")}}; });
    EXPECT_LE(FailUntilOpen(20), 15);
    ASSERT_EQ(told_.size(), 2u);
    EXPECT_TRUE(told_[1].open);
    EXPECT_EQ(N2Identify(1, reply_), 6);
    EXPECT_FALSE(line_.rtsRaised());
}

TEST_F(PortStateTest, DeviceThatGoesAwayIsClosedAtOnceAndOpenedWhenBack)
{
    line_.setResponder([](const std::vector<uint8_t>&) { return FakeLine::Reply{Chunk{0, Bytes("ABCDEF")}}; });
    ASSERT_EQ(N2Identify(1, reply_), 6);
    line_.unplug();
    line_.clearLog();
    const long long start = line_.clockMs();
    EXPECT_EQ(N2Identify(1, reply_), -1);
    // Closed right after the failed write; the read then waits as a dead line does.
    const std::vector<Event> lost{Event::PurgeOutput, Event::PurgeInput, Event::RtsRaised, Event::Write,
                                  Event::Close, Event::ClearError, Event::Read, Event::ClearError};
    EXPECT_EQ(line_.events(), lost);
    EXPECT_EQ(line_.clockMs() - start, 70);
    ASSERT_EQ(told_.size(), 1u);
    EXPECT_EQ(told_[0].reason, "lost");
    EXPECT_EQ(told_[0].sentence,
              "COM1 (/dev/ttyUSB0): lost. The device went away; the port opens again by itself when it is back.");

    // Still missing: tried once a second, still lost, no news.
    EXPECT_EQ(FailUntilOpen(30), 30);
    EXPECT_EQ(OpensLogged(), 2);
    EXPECT_EQ(N2CurrentPortStatus().reason, "lost");
    EXPECT_EQ(told_.size(), 1u);

    line_.plugIn();
    EXPECT_LE(FailUntilOpen(20), 15);
    ASSERT_EQ(told_.size(), 2u);
    EXPECT_TRUE(told_[1].open);
    EXPECT_EQ(N2Identify(1, reply_), 6);
}

TEST_F(PortStateTest, DeviceBackButRefusedSaysWhy)
{
    line_.unplug();
    EXPECT_EQ(N2Identify(1, reply_), -1);
    line_.plugIn();
    line_.setOpenResult(Failure(OpenFailure::InUse));
    EXPECT_EQ(FailUntilOpen(20), 20);
    ASSERT_EQ(told_.size(), 2u);
    EXPECT_EQ(told_[1].reason, "in use");
}

TEST_F(PortStateTest, ClosedOnPurposeStaysClosed)
{
    N2ClosePort();
    line_.clearLog();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(N2Identify(1, reply_), -1);
    EXPECT_EQ(OpensLogged(), 0);
    EXPECT_TRUE(told_.empty());
}

struct LineErrorCase {
    const char* name;
    FakeLine::Reply reply;
    int result;
};

void PrintTo(const LineErrorCase& c, std::ostream* os)
{
    *os << c.name;
}

class LineErrorTest : public PortStateTest, public ::testing::WithParamInterface<LineErrorCase> {};

TEST_P(LineErrorTest, LineErrorDuringTheReadFailsItAndTheNextRequestStartsClean)
{
    const LineErrorCase& c = GetParam();
    line_.queueReply(c.reply);
    EXPECT_EQ(N2Identify(1, reply_), c.result);
    if (c.result == -1) {
        EXPECT_EQ(line_.events().back(), Event::ClearError);
    }
    line_.queueReply(Bytes("ABCDEF"));
    EXPECT_EQ(N2Identify(1, reply_), 6);
    EXPECT_TRUE(N2CurrentPortStatus().open);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, LineErrorTest,
    ::testing::Values(LineErrorCase{"MidReply", {Chunk{0, Bytes("ABC")}, Chunk{2, Bytes("DEF"), true}}, -1},
                      LineErrorCase{"FirstByte", {Chunk{0, Bytes("A"), true}, Chunk{2, Bytes("BCDEF")}}, -1},
                      LineErrorCase{"InAShortReply", {Chunk{0, Bytes("AB"), true}}, -1},
                      LineErrorCase{"AfterTheReadEnded", {Chunk{0, Bytes("ABCDEF")}, Chunk{5, Bytes("X"), true}}, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortStateTest, RtsDropsAtLeastTwoMillisecondsAfterTheWriteReturned)
{
    line_.queueReply(Bytes("ABCDEF"));
    ASSERT_EQ(N2Identify(1, reply_), 6);
    const std::vector<FakeLine::Record>& log = line_.log();
    auto at = [&](Event event) {
        for (const FakeLine::Record& r : log) {
            if (r.event == event)
                return r.at;
        }
        ADD_FAILURE() << "no event " << static_cast<int>(event);
        return std::chrono::steady_clock::time_point{};
    };
    EXPECT_GE(at(Event::Write) - at(Event::RtsRaised), 1ms);
    EXPECT_GE(at(Event::RtsDropped) - at(Event::Write), 2ms);
}

}  // namespace
