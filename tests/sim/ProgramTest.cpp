// n2-meter-sim as a technician starts it: options, first output line, link, log, clean stop.

#include "link/N2Decode.h"
#include "link/Wn2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct ProgramCase {
    const char* name;
    QStringList options;
    std::function<void()> check;   // runs against the program's line, opened as port
};

void ExpectStatus(int32_t serialNumber, uint16_t code)
{
    uint8_t reply[256];
    N2Status status{};
    ASSERT_EQ(N2ReadStatus(5, reply), 28);
    ASSERT_TRUE(N2DecodeStatus(reply, 28, status));
    EXPECT_EQ(status.serialNumber, serialNumber);
    EXPECT_EQ(status.errorCode, code);
}

uint32_t SerialReadBack()
{
    uint8_t reply[256] = {};
    EXPECT_EQ(CfgReadSerialNumber(reply), 5);
    return uint32_t(reply[1]) << 24 | reply[2] << 16 | reply[3] << 8 | reply[4];
}

void PrintTo(const ProgramCase& c, std::ostream* out) { *out << c.name; }

class Program : public testing::TestWithParam<ProgramCase> {};

TEST_P(Program, ServesWithItsOptions)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("meter");
    const QString log = dir.filePath("traffic.log");
    QProcess sim;
    sim.start(SIM_PROGRAM, QStringList{"--address", "5", "--link", link, "--log", log} +
                               GetParam().options);
    ASSERT_TRUE(sim.waitForStarted());
    while (!sim.canReadLine())
        ASSERT_TRUE(sim.waitForReadyRead(5000));
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    EXPECT_TRUE(path.startsWith("/dev/pts/")) << path.toStdString();
    EXPECT_EQ(QFile::symLinkTarget(link), path);

    ASSERT_EQ(N2OpenPort(link, 9600, 8, 0, 0), 1);
    GetParam().check();
    N2ClosePort();

    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(link));
    QFile traffic(log);
    ASSERT_TRUE(traffic.open(QIODevice::ReadOnly));
    const QByteArray lines = traffic.readAll();
    EXPECT_TRUE(lines.contains(" RX ") && lines.contains(" TX ")) << lines.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Options, Program,
    testing::Values(
        ProgramCase{"Defaults", {}, [] { ExpectStatus(1234567, 0); }},
        ProgramCase{"SerialAndStatus", {"--serial", "4294967295", "--status", "7"},
                    [] { ExpectStatus(-1, 7); }},
        ProgramCase{"Silent", {"--silent"}, [] {
                        uint8_t reply[256];
                        EXPECT_EQ(N2Identify(5, reply), -1);
                    }},
        ProgramCase{"JumperTakesSerialNumber", {"--jumper"}, [] {
                        CfgWriteSerialNumber(300);
                        EXPECT_EQ(SerialReadBack(), 300u);
                    }},
        ProgramCase{"NoJumperKeepsSerialNumber", {}, [] {
                        CfgWriteSerialNumber(300);
                        EXPECT_EQ(SerialReadBack(), 1234567u);
                    }},
        ProgramCase{"FrozenWithoutNoise", {"--frozen", "--no-noise", "--seed", "9", "--pace"}, [] {
                        uint8_t reply[256];
                        float first = 0, second = 0;
                        ASSERT_EQ(N2ReadPoint(5, 25, 3, reply), 14);
                        ASSERT_TRUE(N2DecodePoint(reply, 14, first));
                        ASSERT_EQ(N2ReadPoint(5, 25, 3, reply), 14);
                        ASSERT_TRUE(N2DecodePoint(reply, 14, second));
                        EXPECT_EQ(first, second);
                    }}),
    [](const auto& info) { return info.param.name; });

TEST(ProgramOptions, HelpAndRefusals)
{
    struct Case {
        QStringList options;
        int exitCode;
    };
    const Case cases[] = {{{"--help"}, 0},
                          {{"--address", "256"}, 2},
                          {{"--drop", "1.5"}, 2},
                          {{"--serial"}, 2},
                          {{"--bogus"}, 2},
                          {{"--latency", "256"}, 2},
                          {{"--latency", "-1"}, 2},
                          {{"--device", "/nonexistent/tty"}, 1}};
    for (const Case& c : cases) {
        QProcess sim;
        sim.start(SIM_PROGRAM, c.options);
        ASSERT_TRUE(sim.waitForFinished(5000)) << c.options.join(' ').toStdString();
        EXPECT_EQ(sim.exitCode(), c.exitCode) << c.options.join(' ').toStdString();
    }
}

TEST(ProgramOptions, Version)
{
    QProcess sim;
    sim.start(SIM_PROGRAM, {"--version"});
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_EQ(sim.readAllStandardOutput().toStdString(), "n2-meter-sim " QVT_N2_VERSION "\n");
}

TEST(ProgramOptions, LinkReplacesOnlyASymbolicLink)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("notes.txt");
    const QString folder = dir.filePath("folder");
    {
        QFile notes(file);
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        notes.write("keep me\n");
    }
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const QString& path : {file, folder}) {
        QProcess sim;
        sim.start(SIM_PROGRAM, {"--link", path, "--echo", "--latency", "16"});
        ASSERT_TRUE(sim.waitForFinished(5000));
        EXPECT_EQ(sim.exitCode(), 2);
        const QString error = QString::fromLocal8Bit(sim.readAllStandardError());
        EXPECT_TRUE(error.startsWith("n2-meter-sim: --link " + path + " is a ")) << error.toStdString();
        EXPECT_TRUE(error.contains("not a symbolic link")) << error.toStdString();
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty());
    }
    QFile notes(file);
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), "keep me\n");
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A link left by an earlier run, even one pointing nowhere, is taken over.
    const QString link = dir.filePath("meter");
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), link));
    QProcess sim;
    sim.start(SIM_PROGRAM, {"--link", link});
    ASSERT_TRUE(sim.waitForReadyRead(5000));
    const QString pty = QString::fromLocal8Bit(sim.readLine()).trimmed();
    EXPECT_EQ(QFile::symLinkTarget(link), pty);
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 0);
}

}  // namespace
