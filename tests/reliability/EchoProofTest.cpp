// With an adapter that echoes every frame, the program does exactly what it does without one:
// the same frames reach the meter, the same beeps, boxes and texts reach the technician, and
// the meter ends in the same state. The real forms, the real serial port, the simulated meter
// on a pty with and without its echo.

#include "ReliabilityFixture.h"

#include "sim/PtyMeter.h"
#include "tests/support/MeterTakesConfigWrites.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Descobrirend.h"
#include "ui/dialogs/Qvtparametros.h"
#include "ui/main/N2testeqvtmain.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <functional>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t MeterSerial = 7654321;
constexpr int CycleRequests = 37;

// Every text a person sees in a form and whether each button can be pressed.
QStringList Screen(const QWidget* form)
{
    QStringList texts;
    for (const QLineEdit* edit : form->findChildren<QLineEdit*>())
        texts << edit->objectName() + "=" + edit->text();
    for (const QLabel* label : form->findChildren<QLabel*>())
        texts << label->objectName() + "=" + label->text();
    for (const QAbstractButton* button : form->findChildren<QAbstractButton*>())
        texts << button->objectName() + (button->isEnabled() ? " enabled" : " disabled");
    return texts;
}

struct Outcome {
    std::vector<Bytes> frames;   // as the meter saw them
    QStringList told;            // beeps and boxes, in order
    QStringList screen;          // the main window, then the dialog
    int meterAddress = 0;
    Bytes parameters;            // the meter's bank 2
};

struct Scenario {
    const char* name;
    int meterAddress;
    QWidget* (*dialog)();   // shown by the scenario, or nullptr
    std::function<void(sim::PtyMeter&)> act;
    std::function<void(const Outcome&)> expectWithoutEcho;   // so that "the same" means something
};

void PrintTo(const Scenario& s, std::ostream* os)
{
    *os << s.name;
}

class EchoProof : public FormsTest, public testing::TestWithParam<Scenario> {
protected:
    void SetUp() override { Begin(); }
    void TearDown() override { End(); }

    Outcome Run(bool echo)
    {
        const Scenario& s = GetParam();
        sim::MeterSettings settings;
        settings.address = s.meterAddress;
        settings.serialNumber = MeterSerial;
        settings.statusCode = 3;
        settings.noNoise = true;
        settings.frozenEnergies = true;
        settings.echo = echo;
        sim::PtyMeter meter(settings);
        const MeterTakesConfigWrites configWritesTaken(meter);
        for (QLineEdit* edit : FormMain->findChildren<QLineEdit*>())
            edit->clear();
        FormMain->SetStatusText(2, {});
        FormMain->SetStatusText(3, {});
        ui.clear();
        EXPECT_TRUE(ConnectDevice(QString::fromStdString(meter.path())));

        s.act(meter);

        Outcome outcome;
        outcome.frames = meter.frames();
        for (const UiEvent& e : ui.events)
            outcome.told << (e.kind == UiEvent::Beep ? QStringLiteral("beep") : e.title + ": " + e.text);
        outcome.screen = Screen(FormMain);
        if (s.dialog)
            outcome.screen += Screen(s.dialog());
        const sim::MeterState state = meter.state();
        outcome.meterAddress = state.address;
        outcome.parameters.assign(state.bank2, state.bank2 + 12);
        Disconnect();
        return outcome;
    }
};

TEST_P(EchoProof, SameFramesTextsAndMeterWithAndWithoutEcho)
{
    const Outcome plain = Run(false);
    {
        SCOPED_TRACE("without echo");
        GetParam().expectWithoutEcho(plain);
    }
    const Outcome echoed = Run(true);
    EXPECT_EQ(echoed.frames, plain.frames);
    EXPECT_EQ(echoed.told, plain.told);
    EXPECT_EQ(echoed.screen, plain.screen);
    EXPECT_EQ(echoed.meterAddress, plain.meterAddress);
    EXPECT_EQ(echoed.parameters, plain.parameters);
}

// "&Read" until the meter has seen one whole cycle; the cycle after it never starts.
void PollOneCycle(sim::PtyMeter& meter)
{
    QTimer watch;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (meter.frames().size() >= CycleRequests || clock.elapsed() > 20000)
            StopFlag = 1;
    });
    watch.start(0);
    FormMain->EditEnd->setText("1");
    FormMain->ButtonRead->click();
}

void ScanIncreasing(sim::PtyMeter&)
{
    FormMain->EditEnd->setText("7");
    FormDescobrirEnd->show();
    FormDescobrirEnd->SetRadioGroupOrdemIndex(0);
    FormDescobrirEnd->ButtonDescobrirClick();
    FormDescobrirEnd->hide();
}

void ChangeAddressTo9(sim::PtyMeter&)
{
    FormMain->EditEnd->setText("1");
    FormAlteraEnd->show();
    FormAlteraEnd->EditNewEnd->setText("9");
    FormAlteraEnd->Button1Click();
    FormAlteraEnd->hide();
}

void WriteParameters(sim::PtyMeter&)
{
    FormSetParametros->show();
    FormSetParametros->EditEnd->setText("1");
    FormSetParametros->EditTP->setText("2.5");
    FormSetParametros->EditTC->setText("40");
    FormSetParametros->EditKE->setText("1200");
    FormSetParametros->EditTL->setText("15");
    FormSetParametros->EditTI->setText("30");
    FormSetParametros->BitBtnAlterarClick();
    FormSetParametros->hide();
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, EchoProof,
    testing::Values(
        Scenario{"PollingCycle", 1, nullptr, PollOneCycle,
                 [](const Outcome& o) {
                     EXPECT_EQ(o.frames.size(), size_t(CycleRequests));
                     EXPECT_TRUE(o.told.isEmpty());
                     EXPECT_TRUE(o.screen.contains("EditNSerie=" + QString::number(MeterSerial)));
                     EXPECT_FALSE(o.screen.contains("EditU="));
                     EXPECT_FALSE(o.screen.contains("EditEAPos="));
                 }},
        Scenario{"ScanFindsALoneMeterAfterSilentAddresses", 3, [] { return static_cast<QWidget*>(FormDescobrirEnd); },
                 ScanIncreasing,
                 [](const Outcome& o) {
                     ASSERT_GE(o.frames.size(), 3u);
                     EXPECT_EQ(o.frames[0], Bytes({'>', '0', '1', 'F', 'A', '7', '\r'}));
                     EXPECT_TRUE(o.screen.contains("EditEnd=3"));
                 }},
        Scenario{"AddressChange", 1, [] { return static_cast<QWidget*>(FormAlteraEnd); }, ChangeAddressTo9,
                 [](const Outcome& o) {
                     EXPECT_EQ(o.meterAddress, 9);
                     EXPECT_TRUE(o.told.contains("Message: Device address changed."));
                 }},
        Scenario{"ParameterWrite", 1, [] { return static_cast<QWidget*>(FormSetParametros); }, WriteParameters,
                 [](const Outcome& o) {
                     EXPECT_NE(o.parameters, Bytes(12, 0));
                     EXPECT_TRUE(o.told.contains("Message: Parameters changed."));
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
