// qvt-n2-poll as a technician runs it, against n2-meter-sim on a pseudo-terminal: the records of
// a few cycles, failed cycles the meter causes, a stop by signal, the exit statuses, the scan in
// both orders and the line trace of one cycle.
#include "link/N2Decode.h"
#include "link/PollingPoints.h"
#include "link/Wn2.h"
#include "tests/support/TraceReading.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <map>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray output;
    QString error;
};

// A simulated meter on a pty for one test, reached through a link in a folder of its own.
class Meter {
public:
    explicit Meter(const QStringList& options)
    {
        link_ = dir_.filePath("meter");
        process_.start(SIM_PROGRAM, QStringList{"--link", link_} + options);
        EXPECT_TRUE(process_.waitForStarted());
        while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
        }
        EXPECT_TRUE(process_.canReadLine()) << "the simulated meter did not start";
    }
    ~Meter()
    {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    QString link() const { return link_; }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString link_;
    QProcess process_;
};

void StartPoller(QProcess& poller, const QStringList& options, const QStringList& environment = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& setting : environment)
        env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    poller.setProcessEnvironment(env);
    poller.start(POLL_PROGRAM, options);
    ASSERT_TRUE(poller.waitForStarted());
}

Outcome Finish(QProcess& poller)
{
    EXPECT_TRUE(poller.waitForFinished(30000));
    EXPECT_EQ(poller.exitStatus(), QProcess::NormalExit);
    return {poller.exitCode(), poller.readAllStandardOutput(), QString::fromLocal8Bit(poller.readAllStandardError())};
}

Outcome Poll(const QStringList& options, const QStringList& environment = {})
{
    QProcess poller;
    StartPoller(poller, options, environment);
    return Finish(poller);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// CSV rows by column, after checking that every line is whole: CRLF, one field per column.
std::vector<std::map<QString, QString>> CsvRecords(const QByteArray& text)
{
    EXPECT_TRUE(text.endsWith("\r\n"));
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();
    EXPECT_FALSE(lines.isEmpty());
    if (lines.isEmpty())
        return {};
    const QStringList columns = QString::fromUtf8(lines.takeFirst().chopped(1)).split(',');
    EXPECT_EQ(columns.size(), 45);
    std::vector<std::map<QString, QString>> records;
    for (const QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        const QStringList fields = QString::fromUtf8(line.chopped(1)).split(',');
        EXPECT_EQ(fields.size(), columns.size()) << line.toStdString();
        std::map<QString, QString> record;
        for (int i = 0; i < std::min(fields.size(), columns.size()); ++i)
            record[columns[i]] = fields[i];
        records.push_back(record);
    }
    return records;
}

// "qvt-n2-poll: cycles: 3 (2 whole, 1 failed), failed requests: 1, elapsed: 0.8 s"
std::vector<int> SummaryCounts(const QString& error)
{
    static const QRegularExpression summary(QStringLiteral(
        "^qvt-n2-poll: cycles: (\\d+) \\((\\d+) whole, (\\d+) failed\\), failed requests: (\\d+), elapsed: \\d+\\.\\d s\\n$"));
    const QRegularExpressionMatch m = summary.match(error);
    EXPECT_TRUE(m.hasMatch()) << error.toStdString();
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
}

QString Field(const char* column, const std::map<QString, QString>& record)
{
    const auto found = record.find(QString::fromLatin1(column));
    return found == record.end() ? QStringLiteral("(no column)") : found->second;
}

TEST(Poller, RecordsAFewCyclesInBaseUnitsWhateverTheLocale)
{
    Meter meter({"--address", "7", "--no-noise", "--frozen", "--serial", "3000000000", "--status", "7"});
    const Outcome run = Poll({"--port", meter.link(), "--address", "7", "--count", "3"},
                         {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8", "TZ=America/Sao_Paulo"});
    EXPECT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_EQ(SummaryCounts(run.error), (std::vector<int>{3, 3, 0, 0}));
    const auto records = CsvRecords(run.output);
    ASSERT_EQ(records.size(), 3u);
    // Volts, amperes and watts as the meter sends them, never with a prefix; '.' in a German locale.
    const std::pair<const char*, QString> expected[] = {
        {"address", "7"}, {"serial_number", "-1294967296"}, {"status_code", "7"}, {"TC", "5"}, {"KE", "1000"},
        {"U_L1_V", "220.1"}, {"I_L3_A", "5.3"}, {"FP_L2", "0.88"}, {"Freq_Hz", "60"}, {"EAPos_kWh", "1523.417"},
        {"ERNeg_kVArh", "1.044"}, {"MDA_kW", "3.512"}, {"starts", "17"}, {"failed_request", ""}, {"failure_code", ""}};
    static const QRegularExpression localTime(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}-03:00$"));
    for (const auto& record : records) {
        EXPECT_TRUE(localTime.match(Field("time", record)).hasMatch()) << Field("time", record).toStdString();
        for (const auto& [column, text] : expected)
            EXPECT_EQ(Field(column, record), text) << column;
        EXPECT_EQ(Field("P_L1_W", record).toFloat(), float(220.1 * 5.0 * 0.92));
        EXPECT_EQ(Field("S_L2_VA", record).toFloat(), float(219.6 * 4.7));
    }
}

TEST(Poller, JsonLinesToAFile)
{
    Meter meter({"--no-noise"});
    QTemporaryDir dir;
    const QString path = dir.filePath("records.jsonl");
    const Outcome run = Poll({"--port", meter.link(), "--address", "1", "--count", "2", "--format", "jsonl",
                          "--output", path});
    EXPECT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_TRUE(run.output.isEmpty());
    QList<QByteArray> lines = ReadFile(path).split('\n');
    ASSERT_EQ(lines.takeLast(), "");
    ASSERT_EQ(lines.size(), 2);
    for (const QByteArray& line : lines) {
        QJsonParseError error{};
        const QJsonObject record = QJsonDocument::fromJson(line, &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        EXPECT_EQ(record.size(), 45);
        EXPECT_EQ(float(record["U_L2_V"].toDouble()), 219.6f);
        EXPECT_EQ(record["serial_number"].toInteger(), 1234567);
        EXPECT_TRUE(record["failed_request"].isNull());
    }
}

// With a fixed seed the simulated meter loses the same replies every run: here some cycles fail
// part-way and others are whole.
TEST(Poller, AFailedCycleIsARecordWithTheRequestThatFailed)
{
    Meter meter({"--no-noise", "--drop", "0.02", "--seed", "3"});
    const Outcome run = Poll({"--port", meter.link(), "--address", "1", "--count", "6"});
    EXPECT_EQ(run.exitCode, 0) << run.error.toStdString();
    const auto records = CsvRecords(run.output);
    ASSERT_EQ(records.size(), 6u);
    const QStringList columns = QString::fromUtf8(run.output.left(run.output.indexOf('\r'))).split(',');
    int failed = 0;
    int failedRequests = 0;
    for (const auto& record : records) {
        const QString request = Field("failed_request", record);
        const bool whole = !Field("starts", record).isEmpty();
        failed += whole ? 0 : 1;
        failedRequests += request.isEmpty() ? 0 : 1;
        if (request.isEmpty())
            continue;
        EXPECT_EQ(Field("failure_code", record), "-1");
        // The column of the request that failed, and every one after it up to the start
        // counter, is empty; all before it are filled. A whole cycle misses only Q_L2.
        const qsizetype first = whole ? columns.indexOf("Q_L2_VAr")
                                : request == "identify" ? columns.indexOf("serial_number")
                                : request == "status"   ? columns.indexOf("serial_number")
                                : request == "parameters" ? columns.indexOf("TP")
                                : request == "starts"   ? columns.indexOf("starts")
                                                        : columns.indexOf(request);
        ASSERT_GT(first, 0) << request.toStdString();
        const qsizetype last = whole ? first : columns.indexOf("starts");
        for (qsizetype i = 0; i < columns.indexOf("failed_request"); ++i) {
            const bool empty = i >= first && i <= last;
            EXPECT_EQ(Field(qPrintable(columns[i]), record).isEmpty(), empty)
                << request.toStdString() << " " << columns[i].toStdString();
        }
    }
    EXPECT_GT(failed, 0) << "the seed no longer makes a cycle fail";
    EXPECT_LT(failed, 6) << "the seed no longer lets a cycle through";
    EXPECT_EQ(SummaryCounts(run.error), (std::vector<int>{6, 6 - failed, failed, failedRequests}));
}

TEST(Poller, NoCycleSucceededIsStatus1)
{
    Meter meter({"--silent"});
    const Outcome run = Poll({"--port", meter.link(), "--address", "1", "--count", "2"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(SummaryCounts(run.error), (std::vector<int>{2, 0, 2, 2}));
    const auto records = CsvRecords(run.output);
    ASSERT_EQ(records.size(), 2u);
    for (const auto& record : records) {
        EXPECT_EQ(Field("failed_request", record), "identify");
        EXPECT_EQ(Field("failure_code", record), "-1");
        EXPECT_EQ(Field("serial_number", record), "");
        EXPECT_EQ(Field("U_V", record), "");
    }
}

TEST(Poller, APortThatDoesNotOpenIsStatus1)
{
    const Outcome run = Poll({"--port", "/nonexistent/tty", "--address", "1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.isEmpty());
    EXPECT_TRUE(run.error.startsWith("qvt-n2-poll: COM1 (/nonexistent/tty): not found. "))
        << run.error.toStdString();
    EXPECT_EQ(run.error.count('\n'), 1);
}

TEST(Poller, BadOptionsAndFilesThatCannotBeWrittenAreStatus2)
{
    Meter meter({});
    const QStringList cases[] = {{"--address", "1", "--bogus"},
                                 {"--address", "256"},
                                 {"--address", "1", "--output", "/nonexistent/folder/records.csv"},
                                 {"--address", "1", "--trace", "/nonexistent/folder/line.trace"}};
    for (const QStringList& options : cases) {
        const Outcome run = Poll(QStringList{"--port", meter.link()} + options);
        EXPECT_EQ(run.exitCode, 2) << options.join(' ').toStdString();
        EXPECT_TRUE(run.output.isEmpty()) << options.join(' ').toStdString();
        EXPECT_EQ(run.error.count('\n'), 1) << run.error.toStdString();
        EXPECT_TRUE(run.error.startsWith("qvt-n2-poll: ")) << run.error.toStdString();
    }
}

// Until the file holds the header and this many records (it may not exist yet).
void WaitForRecords(const QString& path, int records)
{
    const QDeadlineTimer deadline(20000);
    QFile file(path);
    while (!deadline.hasExpired()) {
        if (file.open(QIODevice::ReadOnly) && file.readAll().count('\n') >= records + 1)
            return;
        file.close();
        QThread::msleep(20);
    }
    ADD_FAILURE() << "no " << records << " records in " << path.toStdString();
}

int Sent(const std::vector<TraceLine>& trace)
{
    return int(std::count_if(trace.begin(), trace.end(), [](const TraceLine& t) { return t.event == "tx"; }));
}

class StopSignal : public testing::TestWithParam<int> {};

// The request in progress ends, the cycle it belongs to is not written, the file is whole.
TEST_P(StopSignal, EndsTheRunWithTheFileWhole)
{
    Meter meter({"--no-noise"});
    const QString records = meter.file("records.csv");
    const QString trace = meter.file("line.trace");
    QProcess poller;
    StartPoller(poller, {"--port", meter.link(), "--address", "1", "--output", records, "--trace", trace});
    WaitForRecords(records, 2);
    ::kill(pid_t(poller.processId()), GetParam());
    const Outcome run = Finish(poller);
    EXPECT_EQ(run.exitCode, 0) << run.error.toStdString();
    const auto written = CsvRecords(ReadFile(records));
    ASSERT_GE(written.size(), 2u);
    const std::vector<int> summary = SummaryCounts(run.error);
    ASSERT_EQ(summary.size(), 4u);
    EXPECT_EQ(summary[0], int(written.size()));
    for (const auto& record : written)
        EXPECT_EQ(Field("starts", record), "17");
    // Whole cycles of 37 requests, then at most the part of one that the stop cut short.
    const int cut = Sent(ReadTrace(trace)) - 37 * int(written.size());
    EXPECT_GE(cut, 0);
    EXPECT_LT(cut, 37);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) { return info.param == SIGINT ? "Interrupt" : "Terminate"; });

// The identifies the scan sent, by address.
std::vector<int> Identified(const QString& tracePath)
{
    std::vector<int> addresses;
    for (const TraceLine& t : ReadTrace(tracePath)) {
        if (t.event != "tx")
            continue;
        const std::vector<uint8_t> frame = TraceBytes(t.details);
        EXPECT_EQ(frame.size(), 7u);
        if (frame.size() == 7)
            addresses.push_back(N2ParseHexByte(frame.data() + 1));
    }
    return addresses;
}

TEST(Poller, ScanFindsTheMeterInEitherOrderWithASecondIdentify)
{
    struct Case {
        const char* address;
        QStringList order;
        std::vector<int> tried;
    };
    for (const Case& c : {Case{"3", {}, {1, 2, 3, 3}}, Case{"253", {"--decreasing"}, {255, 254, 253, 253}}}) {
        Meter meter({"--address", c.address});
        const QString trace = meter.file("scan.trace");
        const Outcome run = Poll(QStringList{"--port", meter.link(), "--scan", "--trace", trace} + c.order);
        EXPECT_EQ(run.exitCode, 0) << run.error.toStdString();
        EXPECT_EQ(run.output, QByteArray(c.address) + "\n");
        EXPECT_TRUE(run.error.isEmpty()) << run.error.toStdString();
        EXPECT_EQ(Identified(trace), c.tried);
    }
}

TEST(Poller, TraceOfOnePollingCycle)
{
    Meter meter({"--address", "12"});
    const QString trace = meter.file("cycle.trace");
    const Outcome run = Poll({"--port", meter.link(), "--address", "12", "--count", "1", "--trace", trace});
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_TRUE(ReadFile(trace).startsWith("# QVT_N2 line trace, started "));
    const std::vector<TraceLine> lines = ReadTrace(trace);
    const auto requests = TraceRequests(lines);
    ASSERT_EQ(requests.size(), 37u);
    std::vector<int> objects;
    for (size_t k = 0; k < requests.size(); ++k) {
        std::vector<QString> events;
        std::vector<uint8_t> frame;
        for (const TraceLine& t : requests[k]) {
            events.push_back(t.event == "purge" || t.event == "rts" ? t.event + " " + t.details : t.event);
            if (t.event == "tx")
                frame = TraceBytes(t.details);
            if (t.event == "rx") {
                EXPECT_TRUE(t.details.startsWith(QString::number(TraceBytes(t.details).size()) + "/"))
                    << t.details.toStdString();
            }
        }
        EXPECT_EQ(events, (std::vector<QString>{"purge output", "purge input", "rts on", "tx", "rts off", "rx"}))
            << "request " << k;
        ASSERT_GE(frame.size(), 7u);
        if (k == 2 || k == 36) {
            EXPECT_EQ(frame[0], '!');
            EXPECT_EQ(frame[6], k == 2 ? '2' : '3');
            continue;
        }
        EXPECT_EQ(frame[0], '>');
        EXPECT_EQ(N2ParseHexByte(frame.data() + 1), 12);
        const std::string command(frame.begin() + 3, frame.begin() + (k == 0 ? 4 : 5));
        EXPECT_EQ(command, k == 0 ? "F" : k == 1 ? "09" : "11") << "request " << k;
        if (k >= 3)
            objects.push_back(N2ParseHexByte(frame.data() + 5));
    }
    std::vector<int> expected;
    for (const MeterPoint& point : PollingPoints)
        expected.push_back(point.object);
    EXPECT_EQ(objects, expected);
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_LE(lines[i - 1].ms, lines[i].ms);
}

}  // namespace
