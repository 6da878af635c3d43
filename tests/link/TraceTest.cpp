// The link's trace: what the hook sees around each request, the file's lines, and a trace
// that stops.
#include "LinkFixture.h"

#include "link/LinkTrace.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

using E = LinkEvent;

class Recorder : public LinkTraceSink {
public:
    void record(const LinkTraceEntry& entry) override
    {
        events.push_back(entry.event);
        bytes.emplace_back(entry.bytes, entry.bytes + entry.length);
    }
    std::vector<LinkEvent> events;
    std::vector<std::vector<uint8_t>> bytes;
};

class TraceHookTest : public FakeLinkTest {
protected:
    void SetUp() override
    {
        FakeLinkTest::SetUp();
        previous_ = N2SetTraceSink(&trace_);
    }
    void TearDown() override
    {
        N2SetTraceSink(previous_);
        FakeLinkTest::TearDown();
    }
    Recorder trace_;

private:
    LinkTraceSink* previous_ = nullptr;
};

TEST_F(TraceHookTest, SeesEveryStepOfARequest)
{
    struct Case {
        const char* name;
        std::function<void(FakeLine&)> arrange;
        std::function<void()> request;
        std::vector<LinkEvent> events;
    };
    const std::vector<E> sent{E::PurgedOutput, E::PurgedInput, E::RtsRaised, E::Sent, E::RtsDropped};
    auto then = [&sent](std::initializer_list<E> more) {
        std::vector<E> all = sent;
        all.insert(all.end(), more);
        return all;
    };
    uint8_t reply[256];
    const Case cases[] = {
        {"answered", [](FakeLine& l) { l.queueReply(Bytes("A0010\r")); }, [&] { N2Identify(1, reply); },
         then({E::Received})},
        {"silent", [](FakeLine&) {}, [&] { N2Identify(1, reply); }, then({E::TimedOut})},
        {"echoed", [](FakeLine& l) { l.setEcho(true); l.queueReply(Bytes("A0010\r")); },
         [&] { N2Identify(1, reply); }, then({E::EchoDropped, E::Received})},
        {"read failure", [](FakeLine& l) { l.failNextReads(1); }, [&] { N2Identify(1, reply); },
         then({E::ReadFailed})},
        {"write failure", [](FakeLine& l) { l.failNextWrites(1); }, [&] { N2Identify(1, reply); },
         {E::PurgedOutput, E::PurgedInput, E::RtsRaised, E::WriteFailed, E::TimedOut}},
        {"config write", [](FakeLine&) {}, [] { CfgWriteAddress(1, 2); },
         {E::PurgedOutput, E::RtsRaised, E::Sent, E::RtsDropped}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        line_.setEcho(false);
        trace_.events.clear();
        c.arrange(line_);
        c.request();
        EXPECT_EQ(trace_.events, c.events);
    }
}

TEST_F(TraceHookTest, FramesAndRepliesCarryTheirBytes)
{
    line_.setEcho(true);
    line_.queueReply(Bytes("A0010\r"));
    uint8_t reply[6];
    N2Identify(1, reply);
    ASSERT_EQ(trace_.bytes.size(), 7u);
    EXPECT_EQ(trace_.bytes[3], Bytes(">01FA7\r"));   // sent
    EXPECT_EQ(trace_.bytes[5], Bytes(">01FA7\r"));   // its echo, dropped
    EXPECT_EQ(trace_.bytes[6], Bytes("A0010\r"));    // the reply alone
}

TEST(TraceLine, Formats)
{
    const uint8_t frame[] = {'>', '0', '1', 'F', 'A', '7', 0x0D};
    const uint8_t raw[] = {0x06, 0x00, 0x21, 0x7F, 0xFF};
    struct Case {
        LinkTraceEntry entry;
        const char* line;
    };
    const Case cases[] = {
        {{.event = E::Sent, .bytes = frame, .length = 7}, "      12  tx        7       3E 30 31 46 41 37 0D  |>01FA7.|"},
        {{.event = E::EchoDropped, .bytes = frame, .length = 7},
         "      12  echo      7       3E 30 31 46 41 37 0D  |>01FA7.|"},
        {{.event = E::Received, .bytes = raw, .length = 5, .expected = 256},
         "      12  rx        5/256   06 00 21 7F FF  |..!..|"},
        {{.event = E::TimedOut, .expected = 28}, "      12  timeout   0/28"},
        {{.event = E::PurgedOutput}, "      12  purge     output"},
        {{.event = E::PurgedInput}, "      12  purge     input"},
        {{.event = E::RtsRaised}, "      12  rts       on"},
        {{.event = E::RtsDropped}, "      12  rts       off"},
        {{.event = E::WriteFailed, .bytes = frame, .length = 7},
         "      12  tx-fail   7       3E 30 31 46 41 37 0D  |>01FA7.|"},
        {{.event = E::ReadFailed}, "      12  rx-fail"},
        {{.event = E::LineError, .detail = "framing 1"}, "      12  line-err  framing 1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTraceLine(12, c.entry).toStdString(), c.line);
}

TEST_F(FakeLinkTest, TraceFileHoldsTheRequestsUntilItStops)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("line.trace");
    QString error;
    ASSERT_TRUE(N2StartTrace(path, error)) << error.toStdString();
    line_.queueReply(Bytes("A0010\r"));
    N2Identify(1, reply_);
    N2StopTrace();
    N2Identify(1, reply_);   // after the stop: not in the file

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 2 + 6 + 1);   // header, one request, the empty rest after the last line end
    EXPECT_TRUE(lines[0].startsWith("# QVT_N2 line trace, started 20"));
    EXPECT_TRUE(lines[1].startsWith("# "));
    EXPECT_TRUE(lines[5].endsWith("  tx        7       3E 30 31 46 41 37 0D  |>01FA7.|"));
    EXPECT_TRUE(lines[7].endsWith("  rx        6/6     41 30 30 31 30 0D  |A0010.|"));
    EXPECT_TRUE(lines[8].isEmpty());
}

TEST(TraceFile, AFileThatCannotBeWrittenIsSaidAndStartsNothing)
{
    QString error;
    EXPECT_FALSE(N2StartTrace("/nonexistent-dir/line.trace", error));
    EXPECT_TRUE(error.startsWith("cannot write the trace file /nonexistent-dir/line.trace: ")) << error.toStdString();
    EXPECT_EQ(N2SetTraceSink(nullptr), nullptr);
}

}  // namespace
