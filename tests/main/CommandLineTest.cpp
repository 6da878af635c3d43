// The program's command line: read before any window, Qt's own options let through, and the
// answers that end the program at once work without a display.
#include "link/FakeLine.h"
#include "link/LinkTrace.h"
#include "link/PortList.h"
#include "link/PortMap.h"
#include "link/Wn2.h"
#include "tests/support/StandInPorts.h"
#include "ui/main/CommandLine.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ArgumentsCase {
    const char* name;
    QStringList arguments;   // after the program's path
    int exitStatus;          // -1: the window starts
    QString output;          // exact, or the start of the help
    QString error;
    QString startPort;
};

void PrintTo(const ArgumentsCase& c, std::ostream* out)
{
    *out << c.name;
}

const QString Usage = QStringLiteral("Usage: qvt_n2 [options]\n");

class CommandLineCase : public ::testing::TestWithParam<ArgumentsCase> {
protected:
    StandInPorts ports_;
};

TEST_P(CommandLineCase, AnswersOrStartsTheWindow)
{
    const ArgumentsCase& c = GetParam();
    const CommandLine command = ReadCommandLine(QStringList{QStringLiteral("/usr/bin/qvt_n2")} + c.arguments);
    EXPECT_EQ(command.exitStatus.value_or(-1), c.exitStatus);
    EXPECT_EQ(command.error.toStdString(), c.error.toStdString());
    if (c.output == Usage) {
        EXPECT_TRUE(command.output.startsWith(Usage)) << command.output.toStdString();
        for (const char* option : {"--port <PORT>", "--list-ports", "--version", "--help"})
            EXPECT_TRUE(command.output.contains(QLatin1String(option))) << option;
        EXPECT_FALSE(command.output.contains(QLatin1String("platform <"))) << "Qt's options are not ours to explain";
    } else {
        EXPECT_EQ(command.output.toStdString(), c.output.toStdString());
    }
    if (c.exitStatus < 0) {
        EXPECT_EQ(command.startPort, c.startPort);
    }
}

QString BadUse(const QString& problem)
{
    return QStringLiteral("qvt_n2: %1 See 'qvt_n2 --help'.\n").arg(problem);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineCase,
    ::testing::Values(
        ArgumentsCase{"None", {}, -1, "", "", "COM1"},
        ArgumentsCase{"Help", {"--help"}, 0, Usage, "", ""},
        ArgumentsCase{"ShortHelp", {"-h"}, 0, Usage, "", ""},
        ArgumentsCase{"Version", {"--version"}, 0, "qvt_n2 1.00\n", "", ""},
        ArgumentsCase{"ComName", {"--port", "com3"}, -1, "", "", "COM3"},
        ArgumentsCase{"QtOptions", {"-platform", "offscreen", "-style=fusion", "-reverse", "--port=COM2"}, -1, "", "", "COM2"},
        ArgumentsCase{"UnknownOption", {"--baud", "19200"}, 2, "", BadUse("Unknown option 'baud'."), ""},
        ArgumentsCase{"StrayArgument", {"COM2"}, 2, "", BadUse("Unexpected argument 'COM2'."), ""},
        ArgumentsCase{"PortWithoutValue", {"--port"}, 2, "", BadUse("Missing value after '--port'."), ""},
        ArgumentsCase{"PortNeitherComNorPath", {"--port", "ttyUSB0"}, 2, "",
                      BadUse("--port ttyUSB0: give a COM name (COM1, COM2, ...) or a device path (for example "
                             "/dev/ttyUSB0)."),
                      ""},
        ArgumentsCase{"NoPortsToList", {"--list-ports"}, 0, "No serial port found.\n", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, DevicePathBecomesComOneForTheWindowAndTheListing)
{
    StandInPorts ports;
    const QString device = ports.device("ttyUSB3");
    ports.ports = {{device, "CP2102 USB to UART Bridge Controller", "Silicon Labs", true, 0x10c4, 0xea60}};

    const CommandLine listing = ReadCommandLine({"qvt_n2", "--port", device, "--list-ports"});
    EXPECT_EQ(listing.exitStatus.value_or(-1), 0);
    EXPECT_TRUE(listing.output.contains("  COM name     COM1\n")) << listing.output.toStdString();
    EXPECT_EQ(listing.output, PortListText());

    const CommandLine start = ReadCommandLine({"qvt_n2", "--port", device});
    EXPECT_FALSE(start.exitStatus.has_value());
    EXPECT_EQ(start.startPort, "COM1");
    EXPECT_EQ(N2DevicePath("COM1"), device);
    EXPECT_EQ(N2DevicePath("COM2"), ports.path("ttyS1"));
}

// The trace runs from the command line on, so the window's first open and request are in it.
TEST(CommandLine, TraceStartsBeforeThePortOpens)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("line.trace");
    const CommandLine start = ReadCommandLine({"qvt_n2", "--trace", path});
    EXPECT_FALSE(start.exitStatus.has_value());
    EXPECT_TRUE(start.error.isEmpty());
    FakeLine line;
    SerialLine* previous = N2UseLine(&line);
    N2OpenPort(start.startPort, 9600);
    uint8_t reply[16] = {};
    N2Identify(1, reply);
    N2StopTrace();
    N2UseLine(previous);
    QFile trace(path);
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QByteArray text = trace.readAll();
    EXPECT_TRUE(text.startsWith("# QVT_N2 line trace, started ")) << text.toStdString();
    EXPECT_TRUE(text.contains("  tx        7       3E 30 31 46 41 37 0D  |>01FA7.|\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("  timeout   0/6\n")) << text.toStdString();
}

// The real program, in an environment with no display at all.
struct WithoutDisplayCase {
    const char* argument;
    int exitStatus;
    const char* outputStart;
    const char* error;
};

TEST(CommandLine, AnswersWithoutADisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(variable));
    for (const WithoutDisplayCase& c :
         {WithoutDisplayCase{"--help", 0, "Usage: qvt_n2 [options]\n", ""},
          WithoutDisplayCase{"--version", 0, "qvt_n2 1.00\n", ""},
          WithoutDisplayCase{"--list-ports", 0, "", ""},
          WithoutDisplayCase{"--bogus", 2, "", "qvt_n2: Unknown option 'bogus'. See 'qvt_n2 --help'.\n"},
          WithoutDisplayCase{"--trace=/nonexistent/folder/line.trace", 2, "",
                             "qvt_n2: cannot write the trace file /nonexistent/folder/line.trace: No such file or "
                             "directory\n"}}) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QVT_N2_PROGRAM), {QString::fromLatin1(c.argument)});
        ASSERT_TRUE(program.waitForFinished(30000)) << c.argument;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << c.argument;
        EXPECT_EQ(program.exitCode(), c.exitStatus) << c.argument;
        const QByteArray output = program.readAllStandardOutput();
        EXPECT_TRUE(output.startsWith(c.outputStart)) << c.argument << ": " << output.toStdString();
        EXPECT_EQ(program.readAllStandardError().toStdString(), c.error) << c.argument;
    }
}

}  // namespace
