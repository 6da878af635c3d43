// The line trace of one full polling cycle: every request with its purges, RTS changes, frame
// and reply (and dropped echo, on an adapter that echoes), in the order they happened.
#include "tests/main/MainFixture.h"

#include "link/LinkTrace.h"
#include "tests/support/TraceReading.h"

#include <QTemporaryDir>

namespace {

class TraceCycle : public MainFixture, public testing::WithParamInterface<bool> {};

TEST_P(TraceCycle, OneFullPollingCycle)
{
    const bool echo = GetParam();
    line.setEcho(echo);
    std::vector<Bytes> replies;
    spoil = [&replies](const Bytes&, const Bytes& reply) { replies.push_back(reply); };
    QTemporaryDir dir;
    const QString path = dir.filePath("cycle.trace");
    QString error;
    ASSERT_TRUE(N2StartTrace(path, error)) << error.toStdString();
    Read();
    N2StopTrace();
    ASSERT_EQ(Kinds(), CycleKinds());
    ASSERT_EQ(ui.beeps(), 0);

    const std::vector<TraceLine> trace = ReadTrace(path);
    const std::vector<std::vector<TraceLine>> requests = TraceRequests(trace);
    const std::vector<Bytes> frames = line.frames();
    ASSERT_EQ(requests.size(), frames.size());
    std::vector<QString> expected{"purge output", "purge input", "rts on", "tx", "rts off", "rx"};
    if (echo)
        expected.insert(expected.end() - 1, "echo");
    std::vector<Bytes> received;
    for (size_t k = 0; k < requests.size(); ++k) {
        std::vector<QString> events;
        for (const TraceLine& t : requests[k]) {
            const bool named = t.event == "purge" || t.event == "rts";
            events.push_back(named ? t.event + " " + t.details : t.event);
            if (t.event == "tx" || t.event == "echo") {
                EXPECT_EQ(TraceBytes(t.details), frames[k]) << "request " << k;
            }
            if (t.event == "rx")
                received.push_back(TraceBytes(t.details));
        }
        EXPECT_EQ(events, expected) << "request " << k;
    }
    EXPECT_EQ(received, replies) << "the replies alone, as the meter sent them";
    for (size_t i = 1; i < trace.size(); ++i)
        EXPECT_LE(trace[i - 1].ms, trace[i].ms);
}

INSTANTIATE_TEST_SUITE_P(Adapters, TraceCycle, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Echoing" : "Direct"; });

}  // namespace
