// The window as the technician first sees it, and the status-bar failure report.
#include "tests/main/MainFixture.h"

#include "link/PortMap.h"
#include "link/Wn2.h"
#include "ui/main/Startup.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

using StartState = MainFixture;

TEST_F(StartState, StatusBarLampAndFocus)
{
    EXPECT_EQ(PortName, "COM1");
    EXPECT_EQ(line.devicePath(), N2DevicePath("COM1"));
    EXPECT_EQ(line.baudRate(), 9600);
    const char* texts[] = {" Port : COM1", " Configuration : 9600, 8N1", " Status :", " Error Communication : 0"};
    const int widths[] = {70, 135, 210, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(FormMain->StatusText(i), texts[i]);
        const QLabel* panel = FormMain->StatusPanel(i);
        EXPECT_GE(panel->width(), widths[i]);
        EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width()) << i;
    }
    for (const QLabel* lamp : {FormMain->ImageLedVerde, FormMain->ImageLedVermelho}) {
        EXPECT_TRUE(lamp->isVisible());
        EXPECT_EQ(lamp->pixmap().size(), QSize(16, 10));
    }
    // The green lamp lies on top of the red one.
    EXPECT_GT(FormMain->PanelModem->children().indexOf(FormMain->ImageLedVerde),
              FormMain->PanelModem->children().indexOf(FormMain->ImageLedVermelho));
    EXPECT_EQ(FormMain->focusWidget(), FormMain->EditEnd);
}

TEST_F(StartState, WidgetsHiddenDisabledAndFixedWindow)
{
    for (QWidget* hidden : std::initializer_list<QWidget*>{FormMain->ButtonSetSerialNumber, FormMain->ButtonConfiguration})
        EXPECT_TRUE(hidden->isHidden() && !hidden->isEnabled()) << hidden->objectName().toStdString();
    EXPECT_TRUE(FormMain->LabelStarts->isHidden());
    EXPECT_TRUE(FormMain->EditPartidas->isHidden());
    EXPECT_TRUE(FormMain->LabelCodErro->isHidden());
    EXPECT_TRUE(FormMain->EditEnd->isEnabled());
    EXPECT_TRUE(FormMain->ButtonRead->isEnabled());
    EXPECT_FALSE(FormMain->ButtonStop->isEnabled());
    EXPECT_FALSE(FormMain->EditNSerie->isEnabled());
    EXPECT_FALSE(FormMain->EditU->isEnabled());
    EXPECT_EQ(FormMain->size(), QSize(637, 490));
    EXPECT_EQ(FormMain->minimumSize(), FormMain->maximumSize());
    EXPECT_TRUE(FormMain->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(FormMain->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(FormMain->windowTitle(), "QVT_N2 V1.00 (N2 Protocol) - MEDIDORES BRELT");
    EXPECT_EQ(FormMain->BitBtn1->text(), "Co&mmunication");
    EXPECT_FALSE(FormMain->BitBtn1->icon().pixmap(32, 32).isNull());
}

TEST_F(StartState, ReportCommErrorShowsCodeUnpaddedAndCount)
{
    struct Case {
        int count, code;
        const char* panel2;
        const char* panel3;
    } cases[] = {
        {3, -1, " Status : Error Code [-1]", " Error Communication : 3"},
        {1, 5, " Status : Error Code [5]", " Error Communication : 1"},
        {12, 27, " Status : Error Code [27]", " Error Communication : 12"},
    };
    for (const Case& c : cases) {
        FormMain->ReportCommError(c.count, c.code);
        EXPECT_EQ(FormMain->StatusText(2), c.panel2);
        EXPECT_EQ(FormMain->StatusText(3), c.panel3);
    }
    EXPECT_EQ(ui.beeps(), 0);
    EXPECT_EQ(ui.boxes(), 0);
}

// The command line's --port COMn: the window starts on that port instead of COM1.
TEST_F(StartState, StartsOnTheCommandLinesPort)
{
    DestroyAllForms();
    CreateAllForms("COM3");
    EXPECT_EQ(PortName, "COM3");
    EXPECT_EQ(line.devicePath(), N2DevicePath("COM3"));
    EXPECT_EQ(FormMain->StatusText(0), " Port : COM3");
}
