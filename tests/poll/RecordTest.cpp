// The poller's records from real cycles on a simulated meter behind a scripted line: the
// columns, a whole cycle, a tolerated failure, a failed cycle, a stop mid-cycle, as CSV and JSON.
#include "tests/link/LinkFixture.h"

#include "poll/RecordFormat.h"
#include "sim/MeterCore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>
#include <functional>

namespace {

using Frame = std::vector<uint8_t>;

constexpr uint32_t MeterSerial = 3000000000u;   // top bit set: signed decimal, as the window shows it
constexpr int MeterAddress = 9;

int PointObject(const Frame& frame)
{
    return frame[0] == '>' && frame[3] == '1' && frame[4] == '1' ? N2ParseHexByte(frame.data() + 5) : -1;
}

bool IsParameterRead(const Frame& frame)
{
    return frame[0] == '!' && frame[5] == 'R' && frame[6] == '2';
}

sim::MeterSettings Meter()
{
    sim::MeterSettings settings;
    settings.address = MeterAddress;
    settings.serialNumber = MeterSerial;
    settings.statusCode = 7;
    settings.noNoise = true;
    settings.frozenEnergies = true;
    return settings;
}

class PollRecord : public FakeLinkTest {
protected:
    void SetUp() override
    {
        FakeLinkTest::SetUp();
        line_.setResponder([this](const Frame& frame) -> FakeLine::Reply {
            ++requests;
            if (stopAfter == requests)
                stop = 1;
            auto replies = meter.feed(frame.data(), frame.size(), 0);
            if (replies.empty() || (lose && lose(frame)))
                return {};
            if (cut && cut(frame))
                replies.front().resize(keep);
            return {FakeLine::Chunk{0, replies.front()}};
        });
    }

    // The CSV row as a map from column to field, after checking the row's shape.
    std::map<QString, QString> CsvFields(const CycleRecord& record)
    {
        const QByteArray row = CsvRow(record);
        EXPECT_TRUE(row.endsWith("\r\n"));
        const QStringList fields = QString::fromUtf8(row.chopped(2)).split(',');
        const QStringList columns = RecordColumns();
        EXPECT_EQ(fields.size(), columns.size());
        std::map<QString, QString> byColumn;
        for (int i = 0; i < std::min(fields.size(), columns.size()); ++i)
            byColumn[columns[i]] = fields[i];
        return byColumn;
    }

    QJsonObject Json(const CycleRecord& record)
    {
        const QByteArray line = JsonLine(record);
        EXPECT_TRUE(line.endsWith('\n'));
        EXPECT_EQ(line.count('\n'), 1);
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        EXPECT_EQ(document.object().keys().size(), RecordColumns().size());
        return document.object();
    }

    sim::MeterCore meter{Meter()};
    std::function<bool(const Frame&)> lose;   // the reply to these frames never arrives
    std::function<bool(const Frame&)> cut;    // the reply to these frames stops after keep bytes
    size_t keep = 5;
    volatile std::sig_atomic_t stop = 0;
    int stopAfter = 0;   // the stop comes during this request (counted from 1); 0: never
    int requests = 0;
};

TEST(PollColumns, QuantityPhaseAndUnitInEveryName)
{
    const QStringList columns = RecordColumns();
    ASSERT_EQ(columns.size(), 9 + 33 + 3);
    EXPECT_EQ(columns.mid(0, 9), (QStringList{"time", "address", "serial_number", "status_code", "TP", "TC", "KE",
                                             "TL", "TI"}));
    EXPECT_EQ(columns.mid(9, 7), (QStringList{"U_V", "I_A", "P_W", "Q_VAr", "FP", "S_VA", "Freq_Hz"}));
    EXPECT_EQ(columns.mid(16, 3), (QStringList{"U_L1_V", "U_L2_V", "U_L3_V"}));
    EXPECT_EQ(columns.mid(31, 3), (QStringList{"FP_L1", "FP_L2", "FP_L3"}));
    EXPECT_EQ(columns.mid(34, 8), (QStringList{"EAPos_kWh", "EANeg_kWh", "ERPos_kVArh", "ERNeg_kVArh", "MDA_kW",
                                              "DA_kW", "MDS_kVA", "DS_kVA"}));
    EXPECT_EQ(columns.mid(42), (QStringList{"starts", "failed_request", "failure_code"}));
    QStringList unique = columns;
    EXPECT_EQ(unique.removeDuplicates(), 0);
    EXPECT_EQ(CsvHeader(), columns.join(',').toUtf8() + "\r\n");
}

TEST_F(PollRecord, AWholeCycleInBaseUnitsAndFullPrecision)
{
    meter.setPoint(13, 1234567.9f);   // P_L1 in W, never scaled to kW
    meter.setPoint(22, 0.000123456789f);
    const CycleRecord record = ReadCycle(MeterAddress, stop);
    EXPECT_EQ(line_.frames().size(), 37u);
    ASSERT_TRUE(record.Finished());
    EXPECT_TRUE(record.Succeeded());
    EXPECT_EQ(record.FailedRequests(), 0);

    auto csv = CsvFields(record);
    const std::pair<const char*, const char*> expected[] = {
        {"address", "9"}, {"serial_number", "-1294967296"}, {"status_code", "7"}, {"TP", "1"}, {"TC", "5"},
        {"KE", "1000"}, {"TL", "10"}, {"TI", "15"}, {"U_L1_V", "220.1"}, {"I_L2_A", "4.7"},
        {"P_L1_W", "1234567.9"}, {"FP_L1", "0.00012345679"}, {"Freq_Hz", "60"}, {"EAPos_kWh", "1523.417"},
        {"ERPos_kVArh", "412.885"}, {"MDS_kVA", "3.705"}, {"starts", "17"}, {"failed_request", ""},
        {"failure_code", ""}};
    for (const auto& [column, text] : expected)
        EXPECT_EQ(csv[column], text) << column;
    // Every point's text reads back as exactly the float the meter sent.
    for (size_t i = 0; i < PollingPoints.size(); ++i) {
        const QString text = csv[PointColumn(PollingPoints[i])];
        EXPECT_EQ(text.toFloat(), meter.state().points[PollingPoints[i].object]) << text.toStdString();
    }

    const QJsonObject json = Json(record);
    EXPECT_EQ(json["serial_number"].toInteger(), -1294967296);
    EXPECT_EQ(float(json["U_L1_V"].toDouble()), 220.1f);
    EXPECT_EQ(float(json["P_L1_W"].toDouble()), 1234567.9f);
    EXPECT_EQ(json["starts"].toInt(), 17);
    EXPECT_TRUE(json["failed_request"].isNull());
}

TEST_F(PollRecord, TimeIsLocalWithMillisecondsAndOffset)
{
    CycleRecord record = ReadCycle(MeterAddress, stop);
    const QDate day(2026, 7, 3);
    record.time = QDateTime(day, QTime(8, 5, 9, 42), QTimeZone(-3 * 3600));
    EXPECT_EQ(CsvFields(record)["time"], "2026-07-03T08:05:09.042-03:00");
    record.time = QDateTime(day, QTime(23, 59, 0, 7), QTimeZone(5 * 3600 + 30 * 60));
    EXPECT_EQ(Json(record)["time"].toString(), "2026-07-03T23:59:00.007+05:30");
    record.time = QDateTime(day, QTime(0, 0), QTimeZone::utc());
    EXPECT_EQ(CsvFields(record)["time"], "2026-07-03T00:00:00.000+00:00");
}

TEST_F(PollRecord, ReactivePowerL2FailingAloneIsASuccessWithItsFieldEmpty)
{
    lose = [](const Frame& frame) { return PointObject(frame) == 17; };
    const CycleRecord record = ReadCycle(MeterAddress, stop);
    EXPECT_EQ(line_.frames().size(), 37u);
    EXPECT_TRUE(record.Finished());
    EXPECT_TRUE(record.Succeeded());
    EXPECT_EQ(record.FailedRequests(), 1);
    auto csv = CsvFields(record);
    EXPECT_EQ(csv["Q_L2_VAr"], "");
    EXPECT_EQ(csv["Q_L3_VAr"], "365.40732");
    EXPECT_EQ(csv["starts"], "17");
    EXPECT_EQ(csv["failed_request"], "Q_L2_VAr");
    EXPECT_EQ(csv["failure_code"], "-1");
    EXPECT_TRUE(Json(record)["Q_L2_VAr"].isNull());
}

struct FailedCycle {
    const char* name;
    std::function<bool(const Frame&)> cut;
    size_t keep;
    size_t frames;
    const char* request;
    const char* lastFilled;   // the last column read before the failure
};

void PrintTo(const FailedCycle& c, std::ostream* os)
{
    *os << c.name;
}

class FailedCycles : public PollRecord, public testing::WithParamInterface<FailedCycle> {};

TEST_P(FailedCycles, KeepWhatWasReadAndNameTheRequestThatFailed)
{
    cut = GetParam().cut;
    keep = GetParam().keep;
    const CycleRecord record = ReadCycle(MeterAddress, stop);
    EXPECT_EQ(line_.frames().size(), GetParam().frames);
    EXPECT_TRUE(record.Finished());
    EXPECT_FALSE(record.Succeeded());
    EXPECT_EQ(record.FailedRequests(), 1);
    auto csv = CsvFields(record);
    EXPECT_EQ(csv["failed_request"], GetParam().request);
    EXPECT_EQ(csv["failure_code"], QString::number(keep));
    const QJsonObject json = Json(record);
    EXPECT_EQ(json["failure_code"].toInt(), int(keep));
    // Filled up to the last field read, empty from there to the start counter.
    const QStringList columns = RecordColumns();
    const qsizetype last = columns.indexOf(GetParam().lastFilled);
    for (qsizetype i = 0; i < columns.indexOf("failed_request"); ++i) {
        EXPECT_EQ(csv[columns[i]].isEmpty(), i > last) << columns[i].toStdString();
        EXPECT_EQ(json[columns[i]].isNull(), i > last) << columns[i].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Requests, FailedCycles, testing::Values(
    FailedCycle{"Status", [](const Frame& f) { return f[0] == '>' && f[3] == '0'; }, 27, 2, "status", "address"},
    FailedCycle{"Parameters", IsParameterRead, 12, 3, "parameters", "status_code"},
    FailedCycle{"FirstPoint", [](const Frame& f) { return PointObject(f) == 0; }, 13, 4, "U_V", "TI"},
    FailedCycle{"EnergyNegative", [](const Frame& f) { return PointObject(f) == 27; }, 1, 30, "EANeg_kWh", "EAPos_kWh"},
    FailedCycle{"Starts", [](const Frame& f) { return f[0] == '!' && f[6] == '3'; }, 2, 37, "starts", "DS_kVA"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PollRecord, AValueThatIsNotANumberStaysValidCsvAndJson)
{
    meter.setPoint(0, std::nanf(""));
    meter.setPoint(1, -INFINITY);
    const CycleRecord record = ReadCycle(MeterAddress, stop);
    auto csv = CsvFields(record);
    EXPECT_EQ(csv["U_V"], "nan");
    EXPECT_EQ(csv["I_A"], "-inf");
    const QJsonObject json = Json(record);
    EXPECT_EQ(json["U_V"].toString(), "nan");
    EXPECT_EQ(json["I_A"].toString(), "-inf");
}

// A stop ends the cycle after the request in progress; the cycle is unfinished. At the
// tolerated point the cycle would go on, so a stop there must end it too.
TEST_F(PollRecord, AStopEndsTheCycleAfterTheRequestInProgress)
{
    for (int during : {1, 2, 3, 20, 21, 36}) {
        line_.clearLog();
        requests = 0;
        stop = 0;
        stopAfter = during;
        lose = [](const Frame& frame) { return PointObject(frame) == 17; };
        const CycleRecord record = ReadCycle(MeterAddress, stop);
        EXPECT_EQ(line_.frames().size(), size_t(during)) << during;
        EXPECT_FALSE(record.Finished()) << during;
    }
    // During the last request: the cycle is whole.
    line_.clearLog();
    requests = 0;
    stop = 0;
    stopAfter = 37;
    EXPECT_TRUE(ReadCycle(MeterAddress, stop).Finished());
}

}  // namespace
