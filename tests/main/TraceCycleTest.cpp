// The line trace of one full polling cycle: every request with its purges, RTS changes, frame
// and reply (and dropped echo, on an adapter that echoes), in the order they happened.
#include "tests/main/MainFixture.h"

#include "link/LinkTrace.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

struct TraceLine {
    long long ms;
    QString event;
    QString details;
};

std::vector<TraceLine> ReadTrace(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<TraceLine> lines;
    static const QRegularExpression pattern(QStringLiteral("^ *(\\d+)  (\\S+) *(.*)$"));
    for (const QByteArray& raw : file.readAll().split('\n')) {
        if (raw.isEmpty() || raw.startsWith('#'))
            continue;
        const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(raw));
        EXPECT_TRUE(m.hasMatch()) << raw.toStdString();
        if (m.hasMatch())
            lines.push_back({m.captured(1).toLongLong(), m.captured(2), m.captured(3)});
    }
    return lines;
}

// "7       3E 30 ...  |>01FA7.|" -> the bytes, after checking the ASCII column agrees with them.
Bytes BytesOf(const QString& details)
{
    const QStringList parts = details.split(QStringLiteral("  "), Qt::SkipEmptyParts);
    EXPECT_EQ(parts.size(), 3) << details.toStdString();
    if (parts.size() != 3)
        return {};
    const QByteArray bytes = QByteArray::fromHex(parts[1].toLatin1());
    QByteArray printable = bytes;
    for (char& c : printable)
        c = (c >= 0x20 && c < 0x7F) ? c : '.';
    EXPECT_EQ(parts[2], "|" + QString::fromLatin1(printable) + "|");
    EXPECT_EQ(parts[0].section('/', 0, 0).toInt(), bytes.size());
    return Bytes(bytes.begin(), bytes.end());
}

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
    // One group of lines per request, each from its first purge on.
    std::vector<std::vector<TraceLine>> requests;
    for (const TraceLine& t : trace) {
        if (requests.empty() || (t.event == "purge" && t.details == "output"))
            requests.emplace_back();
        requests.back().push_back(t);
    }
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
                EXPECT_EQ(BytesOf(t.details), frames[k]) << "request " << k;
            }
            if (t.event == "rx")
                received.push_back(BytesOf(t.details));
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
