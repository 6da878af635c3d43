// The port dialog, the About box, and Esc in every dialog of this group.
#include "tests/dialogs/DialogFixture.h"

#include <QTest>
#include <QTimer>

#include "link/PortMap.h"
#include "link/Wn2.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteraporta.h"
#include "ui/dialogs/Descobrirend.h"
#include "ui/dialogs/Sobre.h"
#include "ui/dialogs/Zerar.h"
#include "ui/main/N2testeqvtmain.h"
#include "tests/support/StandInPorts.h"

namespace {

class PortDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        FormMain->SetStatusText(0, QStringLiteral(" Port : COM1"));
    }
};

struct PortCase {
    const char* name;
    const char* startPort;
    int shownIndex;
    int chosenIndex;   // -1: leave the choice as shown
    bool byEnter;
    const char* endPort;
};

void PrintTo(const PortCase& c, std::ostream* os)
{
    *os << c.name;
}

class PortChoiceTest : public PortDialogTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortChoiceTest, ReopensTheChosenPortAndShowsItInPanelZero)
{
    const PortCase& c = GetParam();
    PortName = QString::fromUtf8(c.startPort);
    FormAlteraPorta->show();
    EXPECT_EQ(FormAlteraPorta->RadioGroupPortaSerialIndex(), c.shownIndex);
    if (c.chosenIndex >= 0)
        FormAlteraPorta->SetRadioGroupPortaSerialIndex(c.chosenIndex);

    if (c.byEnter)
        QTest::keyClick(FormAlteraPorta->RadioButtonCom1, Qt::Key_Return);
    else
        FormAlteraPorta->BitBtnOK->click();

    const QString endPort = QString::fromUtf8(c.endPort);
    EXPECT_EQ(PortName, endPort);
    EXPECT_EQ(line->events(), (std::vector<FakeLine::Event>{FakeLine::Event::Close, FakeLine::Event::Open,
                                                          FakeLine::Event::RtsDropped}));
    EXPECT_EQ(line->devicePath(), N2DevicePath(endPort));
    EXPECT_EQ(line->baudRate(), 9600);
    EXPECT_EQ(FormMain->StatusText(0), QStringLiteral(" Port : ") + endPort);
    EXPECT_FALSE(FormAlteraPorta->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Choices, PortChoiceTest,
                         ::testing::Values(PortCase{"SamePortAgain", "COM3", 2, -1, false, "COM3"},
                                           PortCase{"OtherPortByEnter", "COM1", 0, 1, true, "COM2"},
                                           PortCase{"UnknownNameKept", "COM9", -1, -1, false, "COM9"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CancelCase {
    const char* name;
    std::function<void()> cancel;
};

void PrintTo(const CancelCase& c, std::ostream* os)
{
    *os << c.name;
}

class PortCancelTest : public PortDialogTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(PortCancelTest, ChangesNothing)
{
    PortName = QStringLiteral("COM1");
    QTimer::singleShot(0, FormAlteraPorta, [] { FormAlteraPorta->SetRadioGroupPortaSerialIndex(3); });
    QTimer::singleShot(0, FormAlteraPorta, GetParam().cancel);

    EXPECT_EQ(FormAlteraPorta->exec(), QDialog::Rejected);

    EXPECT_EQ(PortName, QStringLiteral("COM1"));
    EXPECT_TRUE(line->events().empty());
    EXPECT_EQ(FormMain->StatusText(0), QStringLiteral(" Port : COM1"));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, PortCancelTest,
    ::testing::Values(CancelCase{"Escape", [] { QTest::keyClick(FormAlteraPorta, Qt::Key_Escape); }},
                      CancelCase{"CloseButton", [] { FormAlteraPorta->BitBtnCancelar->click(); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Each choice names the device it reaches at this show, whether it is there and what it is.
TEST_F(PortDialogTest, EachChoiceTellsItsDeviceInItsTooltip)
{
    StandInPorts stand;
    const QString usb0 = stand.device("ttyUSB0");
    const QString ftdi = stand.adapter("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", usb0);
    const QString builtin = stand.device("ttyS0");
    const QString modem = stand.device("ttyACM0");
    stand.ports = {{usb0, "FT232R USB UART", "FTDI", true, 0x0403, 0x6001}, {builtin, "", "", false, 0, 0},
                   {modem, "USB Modem", "", false, 0, 0}};
    setenv("QVT_N2_COM4", qPrintable(modem), 1);
    const QList<QRadioButton*> choices{FormAlteraPorta->RadioButtonCom1, FormAlteraPorta->RadioButtonCom2,
                                       FormAlteraPorta->RadioButtonCom3, FormAlteraPorta->RadioButtonCom4};
    const auto tooltips = [&] {
        FormAlteraPorta->show();
        QStringList texts;
        for (const QRadioButton* choice : choices)
            texts.append(choice->toolTip());
        FormAlteraPorta->hide();
        return texts;
    };

    EXPECT_EQ(tooltips(), (QStringList{ftdi + " - FT232R USB UART (FTDI)", builtin, stand.path("ttyS1") + " - not found",
                                       modem + " - USB Modem"}));
    // The adapter is unplugged before the next show.
    QFile::remove(ftdi);
    EXPECT_EQ(tooltips(), (QStringList{builtin, stand.path("ttyS1") + " - not found",
                                       stand.path("ttyS2") + " - not found", modem + " - USB Modem"}));
}

// Only the port dialog names a cancel button; Esc anywhere else must not close a dialog.
TEST_F(PortDialogTest, EscapeLeavesTheOtherDialogsOpen)
{
    for (QDialog* dialog : std::initializer_list<QDialog*>{FormAlteraEnd, FormDescobrirEnd, FormSobreBrelt, FormResetEnergy}) {
        dialog->show();
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible()) << dialog->objectName().toStdString();
        dialog->hide();
    }
}

TEST_F(PortDialogTest, AboutShowsNameVersionAndLogo)
{
    FormSobreBrelt->show();
    EXPECT_EQ(FormSobreBrelt->Label1->text(), QStringLiteral("QVT_N2"));
    EXPECT_EQ(FormSobreBrelt->LabelVersao->text(), QStringLiteral("Version 1.00"));
    EXPECT_TRUE(FormSobreBrelt->ImageBrelt->isVisible());
    EXPECT_EQ(FormSobreBrelt->ImageBrelt->pixmap().size(), QSize(238, 104));
    EXPECT_EQ(FormSobreBrelt->Image1->pixmap().size(), QSize(32, 32));
    QTest::keyClick(FormSobreBrelt, Qt::Key_Return);
    EXPECT_FALSE(FormSobreBrelt->isVisible());
}

}  // namespace
