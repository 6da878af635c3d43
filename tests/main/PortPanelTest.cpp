// Panel 0 when the port did not open, was lost or came back; a reading without a port.
#include "tests/main/MainFixture.h"

#include "link/Wn2.h"
#include "ui/dialogs/Alteraporta.h"
#include "ui/main/Startup.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>

namespace {

class PortPanel : public MainFixture {
protected:
    void SetUp() override
    {
        setenv("QVT_N2_COM1", "/dev/ttyUSB0", 1);
        MainFixture::SetUp();
    }
    void TearDown() override
    {
        MainFixture::TearDown();
        unsetenv("QVT_N2_COM1");
    }
    // The program starts again with the open answered by result; returns what it wrote on
    // standard error.
    std::string RestartWith(const OpenResult& result)
    {
        DestroyAllForms();
        line.setOpenResult(result);
        testing::internal::CaptureStderr();
        CreateAllForms();
        const std::string said = testing::internal::GetCapturedStderr();
        FormMain->show();
        QCoreApplication::processEvents();
        return said;
    }
    std::vector<int> PanelWidths() const
    {
        std::vector<int> widths;
        for (int i = 0; i < 4; ++i)
            widths.push_back(FormMain->StatusPanel(i)->width());
        return widths;
    }
    static int PanelCount() { return FormMain->StatusText(3).section(':', 1).trimmed().toInt(); }
};

OpenResult Failure(OpenFailure failure)
{
    OpenResult result;
    result.failure = failure;
    result.systemError = "Input/output error";
    return result;
}

TEST_F(PortPanel, StartUpShowsWhyThePortDidNotOpenWithoutABox)
{
    const std::vector<int> openWidths = PanelWidths();
    struct Case {
        OpenFailure failure;
        const char* panel;
        const char* sentence;
    } cases[] = {
        {OpenFailure::NoPermission, " Port : COM1 - no permission",
         "COM1 (/dev/ttyUSB0): no permission. Add your user to the dialout group and log in again."},
        {OpenFailure::NotFound, " Port : COM1 - not found",
         "COM1 (/dev/ttyUSB0): not found. Check that the adapter is plugged in, or choose another port."},
        {OpenFailure::InUse, " Port : COM1 - in use",
         "COM1 (/dev/ttyUSB0): in use. Another program has it open; close that program or choose another port."},
        {OpenFailure::Other, " Port : COM1 - not open", "COM1 (/dev/ttyUSB0): not open. Input/output error."},
    };
    for (const Case& c : cases) {
        const std::string said = RestartWith(Failure(c.failure));
        EXPECT_EQ(FormMain->StatusText(0), c.panel);
        EXPECT_EQ(FormMain->StatusPanel(0)->toolTip(), c.sentence);
        EXPECT_EQ(said, std::string(c.sentence) + "\n");
        // Panel 0 shows it all; the two next keep their widths and the last gives way.
        const QLabel* panel = FormMain->StatusPanel(0);
        EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width()) << c.panel;
        const std::vector<int> widths = PanelWidths();
        EXPECT_EQ(widths[1], openWidths[1]);
        EXPECT_EQ(widths[2], openWidths[2]);
        EXPECT_LT(widths[3], openWidths[3]);
    }
    EXPECT_EQ(ui.boxes(), 0);
    EXPECT_EQ(ui.beeps(), 0);

    RestartWith({});
    EXPECT_EQ(FormMain->StatusText(0), " Port : COM1");
    EXPECT_EQ(FormMain->StatusPanel(0)->toolTip(), "");
    EXPECT_EQ(PanelWidths(), openWidths);
}

TEST_F(PortPanel, ReopenFromThePortDialogShowsTheReasonToo)
{
    const auto choose = [](int index) {
        FormAlteraPorta->show();
        FormAlteraPorta->SetRadioGroupPortaSerialIndex(index);
        FormAlteraPorta->BitBtnOK->click();
    };
    line.setOpenResult(Failure(OpenFailure::InUse));
    testing::internal::CaptureStderr();
    choose(0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "COM1 (/dev/ttyUSB0): in use. Another program has it open; close that program or choose another port.\n");
    EXPECT_EQ(FormMain->StatusText(0), " Port : COM1 - in use");

    line.setOpenResult({});
    choose(0);
    EXPECT_EQ(FormMain->StatusText(0), " Port : COM1");
    EXPECT_EQ(FormMain->StatusPanel(0)->toolTip(), "");
    EXPECT_EQ(ui.boxes(), 0);
}

TEST_F(PortPanel, ReadingWithoutAPortFailsAtTheDeadLinePace)
{
    RestartWith(Failure(OpenFailure::NotFound));
    StopAfterCycles(1000);
    QTimer hook;
    QObject::connect(&hook, &QTimer::timeout, [] {
        if (PanelCount() >= 10)
            StopFlag = 1;
    });
    hook.start(0);
    Read("1");
    EXPECT_EQ(PanelCount(), 10);
    EXPECT_EQ(ui.beeps(), 10);
    // Each cycle waited the identify's 70 ms, as on a silent line.
    EXPECT_EQ(line.virtualMs(), 10 * 70);
    EXPECT_EQ(FormMain->StatusText(2), " Status : Error Code [-1]");
}

TEST_F(PortPanel, LostDeviceShowsLostKeepsCountingAndComesBack)
{
    StopAfterCycles(1000000);
    enum class Phase { Reading, Lost, Back } phase = Phase::Reading;
    int countAtLoss = 0;
    long long virtualAtLoss = 0;
    int cyclesLost = 0;
    QStringList panelsWhileLost;
    QTimer hook;
    QObject::connect(&hook, &QTimer::timeout, [&] {
        switch (phase) {
        case Phase::Reading:
            if (!Text("EditU").isEmpty()) {
                line.unplug();
                countAtLoss = PanelCount();
                virtualAtLoss = line.virtualMs();
                Edit("EditU")->clear();
                phase = Phase::Lost;
            }
            break;
        case Phase::Lost:
            if (PanelCount() > countAtLoss)
                panelsWhileLost << FormMain->StatusText(0);
            if (PanelCount() >= countAtLoss + 20) {
                cyclesLost = PanelCount() - countAtLoss;
                EXPECT_GE(line.virtualMs() - virtualAtLoss, cyclesLost * 70LL);
                EXPECT_EQ(FormMain->StatusPanel(0)->toolTip(),
                          "COM1 (/dev/ttyUSB0): lost. The device went away; the port opens again by itself when it is back.");
                line.plugIn();
                phase = Phase::Back;
            }
            break;
        case Phase::Back:
            if (!Text("EditU").isEmpty() || PanelCount() > countAtLoss + 60)
                StopFlag = 1;
            break;
        }
    });
    hook.start(0);
    Read("1");

    ASSERT_EQ(phase, Phase::Back);
    EXPECT_FALSE(Text("EditU").isEmpty()) << "no reading after the device came back";
    panelsWhileLost.removeDuplicates();
    EXPECT_EQ(panelsWhileLost, QStringList{" Port : COM1 - lost"});
    EXPECT_EQ(FormMain->StatusText(0), " Port : COM1");
    // One beep per failed cycle, and at most about a second's worth after the return.
    EXPECT_EQ(ui.beeps(), PanelCount() - countAtLoss);
    EXPECT_LE(PanelCount() - countAtLoss - cyclesLost, 15);
    EXPECT_EQ(ui.boxes(), 0);
}

}  // namespace
