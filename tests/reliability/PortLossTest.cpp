// The meter's side of the line goes away while the program reads it and comes back on the
// same link; a scan started before the meter finds it; a second copy of the program cannot
// take the port the first one holds under any name; an unprivileged user is told why a port
// does not open.

#include "ReliabilityFixture.h"

#include "sim/PtyMeter.h"
#include "ui/dialogs/Alteraporta.h"
#include "ui/dialogs/Descobrirend.h"
#include "ui/main/N2testeqvtmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int DeadlineMs = 30000;

int PanelCount()
{
    return FormMain->StatusText(3).section(':', 1).trimmed().toInt();
}

// CPU time of this process so far, user and system.
long long CpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000LL
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}
// Calls step at the start of every cycle of a reading until it returns true, then presses
// "&Stop". Fails the run if that takes longer than the deadline.
bool ReadUntil(const std::function<bool()>& step)
{
    bool done = false;
    bool busy = false;
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer hook;
    QObject::connect(&hook, &QTimer::timeout, [&] {
        if (busy || done)
            return;
        busy = true;
        done = step();
        busy = false;
        if (done || elapsed.elapsed() > DeadlineMs)
            FormMain->ButtonStop->click();
    });
    hook.start(0);
    FormMain->EditEnd->setText("1");
    FormMain->ButtonReadClick();
    return done;
}

// The technician clicks the port glyph and confirms COM1 in the modal port dialog.
void ChoosePortAgain()
{
    QTimer::singleShot(0, FormAlteraPorta, [] {
        FormAlteraPorta->SetRadioGroupPortaSerialIndex(0);
        FormAlteraPorta->BitBtnOK->click();
    });
    FormMain->BitBtn1->click();
}

std::unique_ptr<sim::PtyMeter> StartMeter(const std::string& link, float voltage, int address = 1)
{
    sim::MeterSettings settings;
    settings.address = address;
    settings.noNoise = true;
    settings.frozenEnergies = true;
    auto meter = std::make_unique<sim::PtyMeter>(settings, link);
    meter->withCore([voltage](sim::MeterCore& core) { core.setPoint(0, voltage); });
    return meter;
}

class PortLoss : public FormsTest, public ::testing::Test {
protected:
    void SetUp() override
    {
        Begin();
        link_ = QDir::temp().filePath(QString("qvt-port-loss-%1").arg(QCoreApplication::applicationPid()));
        previousCom1_ = qgetenv("QVT_N2_COM1");
        qputenv("QVT_N2_COM1", link_.toLocal8Bit());
        PortName = "COM1";
    }
    void TearDown() override
    {
        End();
        qputenv("QVT_N2_COM1", previousCom1_);
    }
    std::string link() const { return link_.toStdString(); }

private:
    QString link_;
    QByteArray previousCom1_;
};

TEST_F(PortLoss, LostLineCountsAtTheDeadLinePaceAndReadingResumesByItself)
{
    auto meter = StartMeter(link(), 230.0f);
    ChoosePortAgain();
    ASSERT_EQ(FormMain->StatusText(0), " Port : COM1");

    enum class Phase { Reading, Lost, Restarted } phase = Phase::Reading;
    int failuresAtLoss = 0;
    int failuresLost = 0;
    long long cpuAtLoss = 0;
    long long lostCpuMs = 0;
    qint64 lostMs = 0;
    qint64 resumedAfterMs = -1;
    QElapsedTimer sinceLoss;
    QElapsedTimer sinceRestart;
    QStringList panelsWhileLost;
    const bool resumed = ReadUntil([&] {
        switch (phase) {
        case Phase::Reading:
            if (FormMain->EditU->text().trimmed() == "230.000") {
                meter->stop();
                failuresAtLoss = PanelCount();
                cpuAtLoss = CpuMs();
                sinceLoss.start();
                phase = Phase::Lost;
            }
            return false;
        case Phase::Lost:
            if (PanelCount() > failuresAtLoss)
                panelsWhileLost << FormMain->StatusText(0);
            if (sinceLoss.elapsed() < 2500)
                return false;
            lostMs = sinceLoss.elapsed();
            lostCpuMs = CpuMs() - cpuAtLoss;
            failuresLost = PanelCount() - failuresAtLoss;
            meter = StartMeter(link(), 123.0f);
            sinceRestart.start();
            phase = Phase::Restarted;
            return false;
        case Phase::Restarted:
            break;
        }
        resumedAfterMs = sinceRestart.elapsed();
        return FormMain->EditU->text().trimmed() == "123.000";
    });
    ASSERT_TRUE(resumed) << "no reading from the meter on the restored link";
    EXPECT_LT(resumedAfterMs, 2000);
    EXPECT_TRUE(FormMain->ButtonRead->isEnabled()) << "\"&Stop\" did not end the run";

    panelsWhileLost.removeDuplicates();
    EXPECT_EQ(panelsWhileLost, QStringList{" Port : COM1 - lost"});
    EXPECT_EQ(FormMain->StatusText(0), " Port : COM1");
    EXPECT_EQ(FormMain->StatusPanel(0)->toolTip(), "");
    // Panel 3 kept counting, at a dead line's pace (one 70 ms identify time-out a cycle),
    // with one beep per failure and next to no CPU.
    const double perSecond = failuresLost * 1000.0 / lostMs;
    EXPECT_GE(failuresLost, 10);
    EXPECT_LE(perSecond, 15.0);
    EXPECT_LT(lostCpuMs, lostMs / 20) << lostCpuMs << " ms of CPU in " << lostMs << " ms";
    EXPECT_EQ(ui.beeps(), PanelCount());
    EXPECT_EQ(ui.boxes(), 0);
}

TEST_F(PortLoss, ScanStartedBeforeTheMeterFindsItOnceItIsThere)
{
    ChoosePortAgain();
    ASSERT_EQ(FormMain->StatusText(0), " Port : COM1 - not found");
    std::unique_ptr<sim::PtyMeter> meter;
    QTimer::singleShot(300, [&] { meter = StartMeter(link(), 230.0f, 40); });

    FormDescobrirEnd->show();
    FormDescobrirEnd->SetRadioGroupOrdemIndex(0);
    FormDescobrirEnd->ButtonDescobrirClick();
    FormDescobrirEnd->hide();

    ASSERT_TRUE(meter);
    EXPECT_EQ(FormMain->EditEnd->text(), "40");
    EXPECT_EQ(FormMain->StatusText(0), " Port : COM1");
    EXPECT_EQ(ui.boxes(), 0);
}

// Starts the second copy (through launcher, if given) on COM1 = device.
QString RunSecondInstance(QProcess& second, const QString& device, const QStringList& launcher = {},
                          const QString& program = QVT_SECOND_INSTANCE)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QVT_N2_COM1", device);
    second.setProcessEnvironment(env);
    if (launcher.isEmpty())
        second.start(program, {"3"});
    else
        second.start(launcher.first(), launcher.mid(1) + QStringList{program, "3"});
    return second.waitForStarted() ? QString() : second.errorString();
}

// Runs the second copy to its end and returns what it printed.
QString SecondInstanceSays(const QString& device, const QStringList& launcher = {},
                           const QString& program = QVT_SECOND_INSTANCE)
{
    QProcess second;
    const QString error = RunSecondInstance(second, device, launcher, program);
    if (!error.isEmpty())
        return error;
    if (!second.waitForFinished(20000))
        return "did not finish";
    return QString::fromLocal8Bit(second.readAllStandardOutput() + second.readAllStandardError());
}

TEST_F(PortLoss, SecondInstanceCannotTakeThePortTheFirstHoldsUnderAnotherName)
{
    auto meter = StartMeter(link(), 230.0f);
    const QString target = QString::fromStdString(meter->path());
    // With the port free the second copy reads the meter like any other.
    const QString alone = SecondInstanceSays(target);
    ASSERT_TRUE(alone.contains("beeps=0\n")) << alone.toStdString();
    ASSERT_TRUE(alone.contains("panel0= Port : COM1\n")) << alone.toStdString();
    ChoosePortAgain();

    // The first holds the link; the second names the device it points at.
    QProcess second;
    int cycles = 0;
    const bool ran = ReadUntil([&] {
        if (cycles++ == 0) {
            EXPECT_EQ(RunSecondInstance(second, target), QString());
        }
        return second.state() == QProcess::NotRunning && cycles > 2;
    });
    ASSERT_TRUE(ran);
    ASSERT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(second.readAllStandardOutput());
    EXPECT_TRUE(out.contains("panel0= Port : COM1 - in use\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("panel2= Status : Error Code [-1]\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("panel3= Error Communication : 3\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("beeps=3\n")) << out.toStdString();
    // The first kept reading all along.
    EXPECT_EQ(ui.beeps(), 0);
    EXPECT_EQ(FormMain->EditU->text().trimmed(), "230.000");
}

// A pid no process can have.
long long DeadPid()
{
    QFile pidMax("/proc/sys/kernel/pid_max");
    return pidMax.open(QIODevice::ReadOnly) ? pidMax.readAll().trimmed().toLongLong() : 4194304;
}

TEST_F(PortLoss, UnprivilegedUserIsToldWhyThePortDoesNotOpen)
{
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (geteuid() != 0 || setpriv.isEmpty())
        GTEST_SKIP() << "needs root and setpriv to run a program as an unprivileged user";
    // A copy the unprivileged user can reach whatever the build directory's permissions.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath("second_instance");
    ASSERT_TRUE(QFile::copy(QVT_SECOND_INSTANCE, program));
    ASSERT_EQ(chmod(qPrintable(dir.path()), 0755), 0);
    ASSERT_EQ(chmod(qPrintable(program), 0755), 0);
    const QStringList nobody{setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};

    auto meter = StartMeter(link(), 230.0f);
    const QString pty = QString::fromStdString(meter->path());
    ASSERT_EQ(chmod(qPrintable(pty), 0600), 0);
    QString out = SecondInstanceSays(pty, nobody, program);
    EXPECT_TRUE(out.contains("panel0= Port : COM1 - no permission\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("tooltip0=COM1 (" + pty
                             + "): no permission. Add your user to the dialout group and log in again.\n"))
        << out.toStdString();

    // A lock file a program of root's left behind, which this user may not remove.
    ASSERT_EQ(chmod(qPrintable(pty), 0666), 0);
    QFile lock("/var/lock/LCK.." + pty.mid(5).replace('/', '_'));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(DeadPid()) + "\nqvt_n2\n\n");
    lock.close();
    out = SecondInstanceSays(pty, nobody, program);
    lock.remove();
    EXPECT_TRUE(out.contains("panel0= Port : COM1 - not open\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("tooltip0=COM1 (" + pty + "): not open. A program that has ended left the lock file "
                             + lock.fileName() + ", which this user cannot remove; remove it as root.\n"))
        << out.toStdString();

    // Without either, the same user reads the meter.
    out = SecondInstanceSays(pty, nobody, program);
    EXPECT_TRUE(out.contains("panel0= Port : COM1\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("beeps=0\n")) << out.toStdString();
}

}  // namespace
