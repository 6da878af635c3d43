// The real link (Qt serial port) against the simulated meter on a pseudo-terminal:
// every request operation, and what the meter saw on the wire, directly and through adapters
// that echo the program's frames and hold replies for a USB latency timer.

#include "link/N2Decode.h"
#include "link/Wn2.h"
#include "sim/PtyMeter.h"
#include "tests/support/MeterTakesConfigWrites.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Wire(const std::string& text) { return Bytes(text.begin(), text.end()); }

sim::MeterSettings Settings()
{
    sim::MeterSettings s;
    s.address = 17;
    s.serialNumber = 0x0D21210D;   // CR and '!' inside every config frame
    s.statusCode = 258;
    s.jumperInstalled = true;
    s.noNoise = true;
    s.frozenEnergies = true;
    s.startCounter = 4660;
    return s;
}

struct Adapter {
    const char* name;
    bool echo;
    int latencyMs;
};

void PrintTo(const Adapter& adapter, std::ostream* os)
{
    *os << adapter.name;
}

sim::MeterSettings Settings(const Adapter& adapter)
{
    sim::MeterSettings s = Settings();
    s.echo = adapter.echo;
    s.latencyMs = adapter.latencyMs;
    return s;
}

class LinkOverPty : public testing::TestWithParam<Adapter> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(N2OpenPort(QString::fromStdString(meter.path()), 9600, 8, 0, 0), 1);
    }
    void TearDown() override { N2ClosePort(); }

    Bytes LastFrame() const
    {
        const auto frames = meter.frames();
        return frames.empty() ? Bytes{} : frames.back();
    }
    sim::PtyMeter meter{Settings(GetParam())};
    // Each write reaches the meter, and its echo the program, before the next request's purges.
    MeterTakesConfigWrites configWritesTaken{meter};
    uint8_t reply[256] = {};
};

INSTANTIATE_TEST_SUITE_P(Adapters, LinkOverPty,
                         testing::Values(Adapter{"Direct", false, 0}, Adapter{"Echoing", true, 0},
                                         Adapter{"EchoingWithUsbLatency", true, 16}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(LinkOverPty, Identify)
{
    EXPECT_EQ(N2Identify(17, reply), 6);
    EXPECT_EQ(LastFrame(), Wire(">11FA8\r"));
    EXPECT_EQ(N2Identify(16, reply), -1);   // nobody there
}

TEST_P(LinkOverPty, ReadStatus)
{
    ASSERT_EQ(N2ReadStatus(17, reply), 28);
    N2Status status{};
    ASSERT_TRUE(N2DecodeStatus(reply, 28, status));
    EXPECT_EQ(static_cast<uint32_t>(status.serialNumber), 0x0D21210Du);
    EXPECT_EQ(status.errorCode, 258);
}

TEST_P(LinkOverPty, ReadPoint)
{
    meter.withCore([](sim::MeterCore& core) { core.setPoint(6, 59.98f); });
    ASSERT_EQ(N2ReadPoint(17, 6, 3, reply), 14);
    float value = 0;
    ASSERT_TRUE(N2DecodePoint(reply, 14, value));
    EXPECT_EQ(value, 59.98f);
}

TEST_P(LinkOverPty, WriteCommandResetsRegister)
{
    EXPECT_EQ(N2WriteCommand(17, 5, 1, 2, reply), 4);   // DA
    ASSERT_EQ(N2ReadPoint(17, 30, 3, reply), 14);
    float value = -1;
    ASSERT_TRUE(N2DecodePoint(reply, 14, value));
    EXPECT_EQ(value, 0.0f);
}

TEST_P(LinkOverPty, WriteValueStoresDelta)
{
    EXPECT_EQ(N2WriteValue(17, 2, 70000, reply), 4);
    EXPECT_EQ(meter.state().delta, 4464);
}

TEST_P(LinkOverPty, ReadSerialNumber)
{
    ASSERT_EQ(CfgReadSerialNumber(reply), 5);
    EXPECT_EQ(Bytes(reply + 1, reply + 5), (Bytes{0x0D, 0x21, 0x21, 0x0D}));
    EXPECT_EQ(LastFrame(), (Bytes{0x21, 0, 0, 0, 0, 0x52, 0x30, 0x0D}));
}

TEST_P(LinkOverPty, WriteSerialNumberReadsBack)
{
    EXPECT_EQ(CfgWriteSerialNumber(0xFFFFFFFF), 1);
    ASSERT_EQ(CfgReadSerialNumber(reply), 5);   // the meter takes frames in order
    EXPECT_EQ(Bytes(reply + 1, reply + 5), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_P(LinkOverPty, WriteAddressMovesTheMeter)
{
    EXPECT_EQ(CfgWriteAddress(0x0D21210D, 13), 1);
    EXPECT_EQ(N2Identify(13, reply), 6);
    EXPECT_EQ(N2Identify(17, reply), -1);
    EXPECT_EQ(meter.frames()[0].size(), 9u);
}

TEST_P(LinkOverPty, ReadBlock)
{
    ASSERT_EQ(CfgReadBlock(0x0D21210D, 2, 0, 12, reply), 13);
    const Bytes parameters{0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0xA0, 0x40, 0xE8, 0x03, 0x0A, 0x0F};
    EXPECT_EQ(Bytes(reply + 1, reply + 13), parameters);
}

TEST_P(LinkOverPty, WriteBlockReadsBack)
{
    const Bytes calibration{0x7F, 0x40, 0x00, 0x7F, 0xC0, 0x00, 0x00, 0x88, 0x0D, 0x21,
                            0x0D, 0x0D, 0x21, 0x21, 0x00, 0x10, 0x00, 0x10};
    EXPECT_EQ(CfgWriteBlock(0x0D21210D, 1, 0, calibration), 1);
    ASSERT_EQ(CfgReadBlock(0x0D21210D, 1, 0, 18, reply), 19);
    EXPECT_EQ(Bytes(reply + 1, reply + 19), calibration);
}

TEST_P(LinkOverPty, ReadInfo)
{
    ASSERT_GE(CfgReadInfo(0x0D21210D, reply), 3);
    EXPECT_EQ(reply[1] * 256 + reply[2], 4660);
}

TEST_P(LinkOverPty, GarbledStatusIsRefusedByTheDecoder)
{
    meter.withCore([](sim::MeterCore& core) { core.settings().faults.garbleRate = 1; });
    ASSERT_EQ(N2ReadStatus(17, reply), 28);
    N2Status status{};
    EXPECT_FALSE(N2DecodeStatus(reply, 28, status));
    EXPECT_EQ(meter.state().injectedFaults, 1);
    EXPECT_TRUE(meter.exchanges().back().injectedFault);
}

TEST_P(LinkOverPty, CutReplyGivesShortCount)
{
    meter.withCore([](sim::MeterCore& core) { core.settings().faults.cutRate = 1; });
    const int count = N2ReadPoint(17, 0, 3, reply);
    EXPECT_GE(count, 1);
    EXPECT_LT(count, 14);
}

TEST_P(LinkOverPty, PacedReplyTakesWireTime)
{
    meter.withCore([](sim::MeterCore& core) {
        core.settings().wirePacing = true;
        core.settings().faults.turnaroundMs = 20;
    });
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(N2ReadStatus(17, reply), 28);
    // 8 request and 28 reply characters at 1.04 ms each, plus the turnaround.
    EXPECT_GE(timer.elapsed(), 36 * 1.04 + 20 - 1);
}

TEST(PtyMeterLink, LinkFollowsTheMeterAndGoesWithIt)
{
    const std::string link = testing::TempDir() + "sim-link-" + std::to_string(getpid());
    for (int start = 0; start < 2; ++start) {   // a restarted meter takes the link over
        sim::PtyMeter meter(Settings(), link);
        ASSERT_EQ(N2OpenPort(QString::fromStdString(link), 9600, 8, 0, 0), 1);
        uint8_t reply[256];
        EXPECT_EQ(N2Identify(17, reply), 6);
        N2ClosePort();
        meter.stop();
        EXPECT_NE(access(link.c_str(), F_OK), 0);
    }
}

TEST(PtyMeterLink, OneSerialPortAtATime)
{
    // The runner holds the slave side itself, yet a port can open it, and only one port.
    sim::PtyMeter meter(Settings());
    QSerialPort first(QString::fromStdString(meter.path()));
    QSerialPort second(QString::fromStdString(meter.path()));
    ASSERT_TRUE(first.open(QIODevice::ReadWrite));
    EXPECT_FALSE(second.open(QIODevice::ReadWrite));
    first.close();
    EXPECT_TRUE(second.open(QIODevice::ReadWrite));
}

TEST(PtyMeterLink, StoppedMeterLeavesTheLineDead)
{
    sim::PtyMeter meter(Settings());
    ASSERT_EQ(N2OpenPort(QString::fromStdString(meter.path()), 9600, 8, 0, 0), 1);
    uint8_t reply[256];
    EXPECT_EQ(N2Identify(17, reply), 6);
    meter.stop();
    EXPECT_EQ(N2Identify(17, reply), -1);
    N2ClosePort();
}

}  // namespace
