// However the program ends, it leaves the port free: no lock file of it remains, the tty is not
// in exclusive mode, and an ordinary user's run that follows a root run reads without errors.
// A root run that left either behind would lock ordinary users out (root ignores both, so two
// root runs in a row would prove nothing).

#include "sim/PtyMeter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int DeadlineMs = 30000;
const char* const Nobody = "65534";

struct ExitWay {
    const char* name;
    const char* helperWay;   // how the program ends itself, or "signal"
    int signalNumber;        // sent by the test once the program reads
};

void PrintTo(const ExitWay& way, std::ostream* out)
{
    *out << way.name;
}

// Qt names a port's lock file after the device, relative to /dev, with '/' turned into '_'.
QStringList LockFilesOf(const QStringList& devicePaths)
{
    QStringList found;
    for (QString name : devicePaths) {
        if (name.startsWith(QLatin1String("/dev/")))
            name = name.mid(5);
        name = QStringLiteral("LCK..") + name.replace('/', '_');
        for (const char* folder : {"/var/lock", "/run/lock"}) {
            const QString lockFile = QDir(QString::fromLatin1(folder)).filePath(name);
            if (QFileInfo::exists(lockFile))
                found.append(lockFile);
        }
    }
    return found;
}

// A lock file whose writer is gone, left by an earlier run that was killed; Qt would take it
// over as root, but an ordinary user cannot remove root's file.
void RemoveStaleLockFiles(const QStringList& lockFiles)
{
    for (const QString& lockFile : lockFiles) {
        QFile file(lockFile);
        const qint64 writer = file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
        if (writer > 0 && kill(static_cast<pid_t>(writer), 0) != 0 && errno == ESRCH)
            QFile::remove(lockFile);
    }
}

// -1 when the state cannot be read.
int ExclusiveMode(const std::string& tty)
{
    const int fd = open(tty.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int exclusive = 0;
    const int result = ioctl(fd, TIOCGEXCL, &exclusive);
    close(fd);
    return result == 0 ? exclusive : -1;
}

// Why this machine cannot run the test, or empty.
QString UnprivilegedRunRefused()
{
    if (geteuid() != 0)
        return QStringLiteral("the test must run as root to compare a root run with an ordinary user's");
    if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        return QStringLiteral("setpriv is not installed");
    QProcess probe;
    probe.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=%1").arg(Nobody), QStringLiteral("--regid=%1").arg(Nobody),
                                            QStringLiteral("--clear-groups"), QStringLiteral("test"), QStringLiteral("-x"),
                                            QStringLiteral(QVT_EXIT_INSTANCE)});
    if (!probe.waitForFinished(DeadlineMs) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return QStringLiteral("user %1 cannot run the test program %2").arg(Nobody, QVT_EXIT_INSTANCE);
    return {};
}

class ClosedAtExit : public ::testing::TestWithParam<ExitWay> {
protected:
    void SetUp() override
    {
        const QString refused = UnprivilegedRunRefused();
        if (!refused.isEmpty())
            GTEST_SKIP() << "Skipped: " << refused.toStdString();
        link_ = QDir::temp().filePath(QStringLiteral("qvt-exit-%1").arg(QCoreApplication::applicationPid())).toStdString();
        sim::MeterSettings settings;
        settings.noNoise = true;
        meter_ = std::make_unique<sim::PtyMeter>(settings, link_);
        // The pty belongs to root; the ordinary user needs it as a technician needs the dialout group.
        ASSERT_EQ(chmod(meter_->path().c_str(), 0666), 0);
        RemoveStaleLockFiles(LockFilesOf(DevicePaths()));
    }

    // The names the port is known by: the link and the pty behind it.
    QStringList DevicePaths() const { return {QString::fromStdString(link_), QString::fromStdString(meter_->path())}; }

    // Starts the program on the link, as root or as the ordinary user.
    void Start(QProcess& program, const QStringList& arguments, bool unprivileged)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QVT_N2_COM1"), QString::fromStdString(link_));
        program.setProcessEnvironment(env);
        if (unprivileged) {
            program.start(QStringLiteral("setpriv"),
                          QStringList{QStringLiteral("--reuid=%1").arg(Nobody), QStringLiteral("--regid=%1").arg(Nobody),
                                      QStringLiteral("--clear-groups"), QStringLiteral(QVT_EXIT_INSTANCE)}
                              + arguments);
        } else {
            program.start(QStringLiteral(QVT_EXIT_INSTANCE), arguments);
        }
        ASSERT_TRUE(program.waitForStarted(DeadlineMs)) << program.errorString().toStdString();
    }

    std::string link_;
    std::unique_ptr<sim::PtyMeter> meter_;
};

// Waits until the program has read for a while, i.e. holds the port and uses it.
bool WaitUntilReading(QProcess& program)
{
    while (!program.canReadLine()) {
        if (!program.waitForReadyRead(DeadlineMs))
            return false;
    }
    return program.readLine() == "reading\n";
}

TEST_P(ClosedAtExit, LeavesThePortFreeForAnOrdinaryUser)
{
    const ExitWay& way = GetParam();
    QProcess asRoot;
    Start(asRoot, {QString::fromLatin1(way.helperWay), QStringLiteral("2")}, false);
    ASSERT_TRUE(WaitUntilReading(asRoot)) << asRoot.readAllStandardError().toStdString();
    if (way.signalNumber != 0) {
        ASSERT_EQ(kill(static_cast<pid_t>(asRoot.processId()), way.signalNumber), 0);
    }
    ASSERT_TRUE(asRoot.waitForFinished(DeadlineMs));
    EXPECT_EQ(asRoot.exitStatus(), QProcess::NormalExit) << "the program did not end by itself";
    EXPECT_EQ(asRoot.exitCode(), 0);

    const QStringList lockFiles = LockFilesOf(DevicePaths());
    EXPECT_TRUE(lockFiles.isEmpty()) << "left behind: " << lockFiles.join(' ').toStdString();
    EXPECT_EQ(ExclusiveMode(meter_->path()), 0);

    QProcess asUser;
    Start(asUser, {QStringLiteral("close-button"), QStringLiteral("3")}, true);
    ASSERT_TRUE(asUser.waitForFinished(DeadlineMs));
    const QString out = QString::fromLocal8Bit(asUser.readAllStandardOutput());
    EXPECT_EQ(asUser.exitCode(), 0) << asUser.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("panel3= Error Communication : 0\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("beeps=0\n")) << out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosedAtExit,
                         ::testing::Values(ExitWay{"CloseButton", "close-button", 0},
                                           ExitWay{"TitleBar", "title-bar", 0},
                                           ExitWay{"Sigterm", "signal", SIGTERM},
                                           ExitWay{"Sigint", "signal", SIGINT},
                                           ExitWay{"Sighup", "signal", SIGHUP},
                                           ExitWay{"SighupOverAModalDialog", "dialog", SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
