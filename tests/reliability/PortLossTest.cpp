// The meter's side of the line goes away while the program reads it, and comes back on the
// same link; a second copy of the program cannot take the port the first one holds.

#include "ReliabilityFixture.h"

#include "sim/PtyMeter.h"
#include "ui/dialogs/Alteraporta.h"
#include "ui/main/N2testeqvtmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

constexpr int DeadlineMs = 30000;

int PanelCount()
{
    return FormMain->StatusText(3).section(':', 1).trimmed().toInt();
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

std::unique_ptr<sim::PtyMeter> StartMeter(const std::string& link, float voltage)
{
    sim::MeterSettings settings;
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

TEST_F(PortLoss, LoopSurvivesTheLostLineAndReadsAgainAfterThePortIsChosen)
{
    auto meter = StartMeter(link(), 230.0f);
    ChoosePortAgain();

    int failuresAtLoss = -1;
    const bool lost = ReadUntil([&] {
        if (failuresAtLoss < 0 && FormMain->EditU->text().trimmed() == "230.000") {
            meter->stop();
            failuresAtLoss = PanelCount();
        }
        return failuresAtLoss >= 0 && PanelCount() >= failuresAtLoss + 5;
    });
    ASSERT_TRUE(lost) << "the loop did not go on counting after the line was lost";
    EXPECT_TRUE(FormMain->ButtonRead->isEnabled()) << "\"&Stop\" did not end the run";
    EXPECT_FALSE(FormMain->ButtonStop->isEnabled());
    EXPECT_EQ(FormMain->StatusText(2), " Status : Error Code [-1]");

    meter = StartMeter(link(), 123.0f);
    ChoosePortAgain();
    ui.clear();
    const bool restored = ReadUntil([] { return FormMain->EditU->text().trimmed() == "123.000"; });
    EXPECT_TRUE(restored) << "no reading from the meter on the restored link";
    EXPECT_EQ(ui.beeps(), 0);
}

// Runs the second copy to its end; its printed status bar and beeps.
QString RunSecondInstance(QProcess& second, const std::string& link)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QVT_N2_COM1", QString::fromStdString(link));
    second.setProcessEnvironment(env);
    second.start(QVT_SECOND_INSTANCE, {"3"});
    return second.waitForStarted() ? QString() : second.errorString();
}

TEST_F(PortLoss, SecondInstanceCannotTakeThePortTheFirstHolds)
{
    auto meter = StartMeter(link(), 230.0f);
    {
        // With the port free the second copy reads the meter like any other.
        QProcess alone;
        ASSERT_EQ(RunSecondInstance(alone, link()), QString());
        ASSERT_TRUE(alone.waitForFinished(20000));
        const QString out = QString::fromLocal8Bit(alone.readAllStandardOutput());
        ASSERT_TRUE(out.contains("beeps=0\n")) << out.toStdString();
    }
    ChoosePortAgain();

    QProcess second;
    int cycles = 0;
    const bool ran = ReadUntil([&] {
        if (cycles++ == 0) {
            EXPECT_EQ(RunSecondInstance(second, link()), QString());
        }
        return second.state() == QProcess::NotRunning && cycles > 2;
    });
    ASSERT_TRUE(ran);
    ASSERT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(second.readAllStandardOutput());
    EXPECT_TRUE(out.contains("panel2= Status : Error Code [-1]\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("panel3= Error Communication : 3\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("beeps=3\n")) << out.toStdString();
    // The first kept reading all along.
    EXPECT_EQ(ui.beeps(), 0);
    EXPECT_EQ(FormMain->EditU->text().trimmed(), "230.000");
}

}  // namespace
