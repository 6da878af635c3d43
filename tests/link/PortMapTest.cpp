// Which device each COM name means, and the port listing, on a folder of stand-in devices:
// test machines have no serial ports.
#include "link/FakeLine.h"
#include "link/PortList.h"
#include "link/PortMap.h"
#include "link/Wn2.h"
#include "tests/support/StandInPorts.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct NameCase {
    const char* name;
    QString device;
};

class PortMapTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return ports_.path(name); }
    QString Device(const QString& name) { return ports_.device(name); }
    QString Adapter(const QString& stableName, const QString& device) { return ports_.adapter(stableName, device); }
    void ExpectDevices(const std::vector<NameCase>& cases)
    {
        for (const NameCase& c : cases)
            EXPECT_EQ(N2DevicePath(QString::fromLatin1(c.name)).toStdString(), c.device.toStdString()) << c.name;
    }

    StandInPorts ports_;
};

TEST_F(PortMapTest, WithoutAdaptersComNamesAreTheBuiltInPorts)
{
    ExpectDevices({{"COM1", Path("ttyS0")}, {"COM4", Path("ttyS3")}, {"COM12", Path("ttyS11")}});
    // Anything else is a device path already, or no port at all.
    for (const char* name : {"/dev/pts/9", "", "COM", "COM0", "COM01", "com1", "COM1 ", "COM+1", "COMx"})
        EXPECT_EQ(N2DevicePath(QString::fromLatin1(name)), QString::fromLatin1(name)) << name;
}

TEST_F(PortMapTest, AdaptersComeFirstInTheOrderOfTheirStableNames)
{
    const QString prolific = Adapter("usb-Prolific_PL2303-if00-port0", Device("ttyUSB0"));
    const QString ftdi = Adapter("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", Device("ttyUSB1"));
    ExpectDevices({{"COM1", ftdi}, {"COM2", prolific}, {"COM3", Path("ttyS0")}, {"COM4", Path("ttyS1")}});
}

TEST_F(PortMapTest, CommandLineBeatsVariableBeatsAutomaticMapping)
{
    const QString ftdi = Adapter("usb-FTDI-if00-port0", Device("ttyUSB0"));
    setenv("QVT_N2_COM1", "/dev/from-variable", 1);
    setenv("QVT_N2_COM3", "/dev/other", 1);
    N2SetPortDevice("COM1", "/dev/from-command-line");
    // Overrides take no place from the others: COM2 is still the first built-in port.
    ExpectDevices({{"COM1", "/dev/from-command-line"}, {"COM2", Path("ttyS0")}, {"COM3", "/dev/other"}});

    N2SetPortDevice("COM1", QString());
    ExpectDevices({{"COM1", "/dev/from-variable"}});
    unsetenv("QVT_N2_COM1");
    ExpectDevices({{"COM1", ftdi}});
}

TEST_F(PortMapTest, EveryOpenByNameWorksTheMappingOutAnew)
{
    FakeLine line;
    SerialLine* previous = N2UseLine(&line);
    N2OpenPort("COM1", 9600);
    EXPECT_EQ(line.devicePath(), Path("ttyS0"));

    // The adapter is plugged in while the program runs; the port dialog's "&OK" opens COM1 again.
    const QString adapter = Adapter("usb-FTDI-if00-port0", Device("ttyUSB0"));
    N2ClosePort();
    N2OpenPort("COM1", 9600, 8, 0, 0);
    EXPECT_EQ(line.devicePath(), adapter);
    N2UseLine(previous);
}

TEST_F(PortMapTest, ComNamesOfADeviceAreTheOnesThatReachItNow)
{
    const QString usb0 = Device("ttyUSB0");
    Adapter("usb-A-if00-port0", usb0);
    Adapter("usb-B-if00-port0", Device("ttyUSB1"));
    const QString builtin1 = Device("ttyS1");
    EXPECT_EQ(N2ComNamesOf(Path("ttyUSB1")), QStringList{"COM2"});
    EXPECT_EQ(N2ComNamesOf(builtin1), QStringList{"COM4"});

    // A variable that names the adapter adds a name; its COM number no longer reaches ttyS1.
    setenv("QVT_N2_COM4", qPrintable(usb0), 1);
    EXPECT_EQ(N2ComNamesOf(usb0), (QStringList{"COM1", "COM4"}));
    EXPECT_EQ(N2ComNamesOf(builtin1), QStringList());
}

TEST_F(PortMapTest, ListingShowsEveryPortTheSystemSees)
{
    const QString usb0 = Device("ttyUSB0");
    const QString ftdi = Adapter("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", usb0);
    const QString builtin = Device("ttyS0");
    const QString board = Device("ttyAMA0");
    ports_.ports = {{board, QString(), QString(), false, 0, 0},
              {builtin, QString(), QString(), false, 0, 0},
              {usb0, "FT232R USB UART", "FTDI", true, 0x0403, 0x6001}};
    // The stand-ins belong to whoever runs the test, who may open them.
    const QString expected = ftdi + "\n"
                             "  kernel name  " + usb0 + "\n"
                             "  description  FT232R USB UART\n"
                             "  maker        FTDI\n"
                             "  VID:PID      0403:6001\n"
                             "  COM name     COM1\n"
                             "  may open     yes\n"
                             "\n" + builtin + "\n"
                             "  kernel name  " + builtin + "\n"
                             "  description  -\n"
                             "  maker        -\n"
                             "  VID:PID      -\n"
                             "  COM name     COM2\n"
                             "  may open     yes\n"
                             "\n" + board + "\n"
                             "  kernel name  " + board + "\n"
                             "  description  -\n"
                             "  maker        -\n"
                             "  VID:PID      -\n"
                             "  COM name     none; start the program with --port " + board + "\n"
                             "  may open     yes\n";
    EXPECT_EQ(PortListText().toStdString(), expected.toStdString());

    ports_.ports.clear();
    EXPECT_EQ(PortListText(), "No serial port found.\n");
}

// The reasons an ordinary user gets, computed in a child that has become user 65534.
TEST_F(PortMapTest, RefusalSaysWhyAnOrdinaryUserCannotOpen)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "Skipped: needs root to become an ordinary user";
    const struct group* dialout = getgrnam("dialout");
    const gid_t groupId = dialout ? dialout->gr_gid : 20;
    const QString groupName = dialout ? QStringLiteral("dialout") : QStringLiteral("20");
    const QString groupDevice = Device("ttyUSB0");
    ASSERT_EQ(chown(qPrintable(groupDevice), 0, groupId), 0);
    ASSERT_EQ(chmod(qPrintable(groupDevice), 0660), 0);
    const QString rootDevice = Device("ttyS0");
    ASSERT_EQ(chmod(qPrintable(rootDevice), 0600), 0);
    const QString openDevice = Device("ttyS1");
    ASSERT_EQ(chmod(qPrintable(openDevice), 0666), 0);
    ASSERT_EQ(chmod(qPrintable(Path("")), 0755), 0);
    const QStringList devices{groupDevice, rootDevice, openDevice, Path("gone")};

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const bool dropped = setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
        QByteArray answers;
        for (const QString& device : devices)
            answers += (dropped ? OpenRefusal(device) : QStringLiteral("not dropped")).toUtf8() + '\n';
        (void)!write(ends[1], answers.constData(), static_cast<size_t>(answers.size()));
        _exit(0);
    }
    close(ends[1]);
    QByteArray answers;
    char buffer[512];
    ssize_t count = 0;
    while ((count = read(ends[0], buffer, sizeof buffer)) > 0)
        answers.append(buffer, count);
    close(ends[0]);
    waitpid(child, nullptr, 0);

    const QStringList expected{
        QStringLiteral("no permission; only the group %1 may use it. Add your user to it (sudo usermod -aG %1 "
                       "$USER) and log in again.")
            .arg(groupName),
        QStringLiteral("no permission; the device is mode 0600, owner root, group root."), QString(),
        QStringLiteral("not found"), QString()};
    EXPECT_EQ(QString::fromUtf8(answers).split('\n').join("|\n").toStdString(), expected.join("|\n").toStdString());
}

}  // namespace
