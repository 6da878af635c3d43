// The address change dialog against simulated meters.
#include "tests/dialogs/DialogFixture.h"

#include "common/Geral.h"
#include "link/Wn2.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/main/N2testeqvtmain.h"

namespace {

const QString CommErrorText =
    QStringLiteral("Communication error. Make sure the device current address is correct and try again. ");

// The box the shared communication-error report shows for a code.
QString CommErrorBoxText(int code)
{
    UiRecorder own;
    InstallUiRecorder(&own);
    ShowCommError(code);
    return own.lastBox()->text;
}

class AddressChangeTest : public DialogTest {
protected:
    // Opens the dialog as the main window's "S&et" does and types the new address.
    void Open(const QString& current, const QString& newAddress)
    {
        FormMain->EditEnd->setText(current);
        FormMain->EditNSerie->setText(QStringLiteral("77"));
        FormConfiguracao->EditEnd->setText(current);
        FormAlteraEnd->show();
        FormAlteraEnd->EditNewEnd->setText(newAddress);
    }

    void ExpectNothingChanged(const QString& current)
    {
        EXPECT_TRUE(FormAlteraEnd->isVisible());
        EXPECT_EQ(FormMain->EditEnd->text(), current);
        EXPECT_EQ(FormConfiguracao->EditEnd->text(), current);
        EXPECT_EQ(FormMain->EditNSerie->text(), QStringLiteral("77"));
        EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
    }

    void ExpectBox(const QString& text, const QString& title, BoxIcon icon)
    {
        ASSERT_EQ(recorder.boxes(), 1);
        EXPECT_EQ(recorder.lastBox()->text, text);
        EXPECT_EQ(recorder.lastBox()->title, title);
        EXPECT_EQ(recorder.lastBox()->icon, icon);
        ASSERT_GE(recorder.events.size(), 2u);
        EXPECT_EQ(recorder.events.end()[-2].kind, UiEvent::Beep);
    }
};

TEST_F(AddressChangeTest, MovesTheMeterAndShowsItsNewAddressAndSerialNumber)
{
    sim::MeterCore meter = AddMeter(1, 0xFFFFFED4u);   // -300 as the program holds it
    Open(QStringLiteral("1"), QStringLiteral("255"));

    FormAlteraEnd->Button1Click();

    const std::vector<Frame> frames = Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(FrameCommand(frames[0]), "F");
    EXPECT_EQ(FrameAddress(frames[0]), 1);
    EXPECT_EQ(FrameCommand(frames[1]), "09");
    EXPECT_EQ(FrameAddress(frames[1]), 1);
    EXPECT_TRUE(IsConfigFrame(frames[2]));
    EXPECT_EQ(FrameCommand(frames[3]), "09");
    EXPECT_EQ(FrameAddress(frames[3]), 255);
    EXPECT_EQ(meter.state().address, 255);

    uint8_t reply[16];
    EXPECT_EQ(N2Identify(1, reply), -1);
    EXPECT_NE(N2Identify(255, reply), -1);

    EXPECT_EQ(FormMain->EditEnd->text(), QStringLiteral("255"));
    EXPECT_EQ(FormConfiguracao->EditEnd->text(), QStringLiteral("255"));
    EXPECT_EQ(FormMain->EditNSerie->text(), QStringLiteral("-300"));
    ExpectBox(QStringLiteral("Device address changed."), QStringLiteral("Message"), BoxIcon::Information);
    EXPECT_FALSE(FormAlteraEnd->isVisible());
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
}

struct InputCase {
    const char* name;
    const char* current;
    const char* newAddress;
    const char* text;
    const char* title;
    BoxIcon icon;
    bool focusCurrent;
};

void PrintTo(const InputCase& c, std::ostream* os)
{
    *os << c.name;
}

class AddressInputTest : public AddressChangeTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(AddressInputTest, RefusesBadInputBeforeAnyFrame)
{
    const InputCase& c = GetParam();
    AddMeter(1, 300);
    Open(QString::fromUtf8(c.current), QString::fromUtf8(c.newAddress));

    FormAlteraEnd->Button1Click();

    ExpectBox(QString::fromUtf8(c.text), QString::fromUtf8(c.title), c.icon);
    EXPECT_EQ(FormAlteraEnd->focusWidget(), c.focusCurrent ? FormAlteraEnd->EditEndAtual : FormAlteraEnd->EditNewEnd);
    EXPECT_TRUE(Frames().empty());
    ExpectNothingChanged(QString::fromUtf8(c.current));
}

INSTANTIATE_TEST_SUITE_P(
    Checks, AddressInputTest,
    ::testing::Values(
        InputCase{"BothEmpty", "", "", "Type the device current address.", "Message", BoxIcon::Warning, true},
        InputCase{"CurrentNotNumber", "abc", "2", "Device current address incorrect", "Error", BoxIcon::Critical, true},
        InputCase{"CurrentWithBlank", " 1", "2", "Device current address incorrect", "Error", BoxIcon::Critical, true},
        InputCase{"CurrentZero", "0", "2", "Device current address must be between 1 and 255", "Error", BoxIcon::Critical, true},
        InputCase{"Current256", "256", "2", "Device current address must be between 1 and 255", "Error", BoxIcon::Critical, true},
        InputCase{"NewEmpty", "1", "", "Type the device new address.", "Message", BoxIcon::Warning, false},
        InputCase{"NewHex", "1", "0x2", "Device new address incorrect", "Error", BoxIcon::Critical, false},
        InputCase{"NewZero", "255", "0", "Device new address must be between 1 and 255", "Error", BoxIcon::Critical, false},
        InputCase{"New256", "1", "256", "Device new address must be between 1 and 255", "Error", BoxIcon::Critical, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Without an answer or without a clean serial number nothing may be written to any meter.
struct NoSerialCase {
    const char* name;
    bool meterPresent;
    std::function<void(std::vector<uint8_t>& reply)> spoilStatus;
    size_t frames;
};

void PrintTo(const NoSerialCase& c, std::ostream* os)
{
    *os << c.name;
}

class AddressNoSerialTest : public AddressChangeTest, public ::testing::WithParamInterface<NoSerialCase> {};

TEST_P(AddressNoSerialTest, SendsNoAddressWrite)
{
    const NoSerialCase& c = GetParam();
    if (c.meterPresent)
        AddMeter(5, 300);
    tamper = [&c](const Frame& frame, int, std::vector<uint8_t>& reply) {
        if (c.spoilStatus && FrameCommand(frame) == "09")
            c.spoilStatus(reply);
    };
    Open(QStringLiteral("5"), QStringLiteral("42"));

    FormAlteraEnd->Button1Click();

    EXPECT_EQ(Frames().size(), c.frames);
    for (const Frame& frame : Frames())
        EXPECT_FALSE(IsConfigFrame(frame));
    ExpectBox(CommErrorText, QStringLiteral("Error"), BoxIcon::Critical);
    EXPECT_EQ(FormAlteraEnd->focusWidget(), FormAlteraEnd->EditEndAtual);
    ExpectNothingChanged(QStringLiteral("5"));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, AddressNoSerialTest,
    ::testing::Values(NoSerialCase{"NoDevice", false, {}, 1},
                      NoSerialCase{"ShortStatus", true, [](std::vector<uint8_t>& r) { r.resize(27); }, 2},
                      NoSerialCase{"LowerCaseSerial", true, [](std::vector<uint8_t>& r) { r.at(12) = 'c'; }, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// The write is only believed when the meter answers at its new address with its own serial number.
struct ConfirmCase {
    const char* name;
    bool meterTakesWrite;
    bool otherMeterAtNewAddress;
    bool writeFails;
    const char* text;   // nullptr: the communication-error report of a write failure
    size_t frames;
};

void PrintTo(const ConfirmCase& c, std::ostream* os)
{
    *os << c.name;
}

class AddressConfirmTest : public AddressChangeTest, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(AddressConfirmTest, ReportsNoSuccessUnlessTheMeterAnswersAtItsNewAddress)
{
    const ConfirmCase& c = GetParam();
    sim::MeterCore meter = AddMeter(5, 300);
    if (c.otherMeterAtNewAddress)
        AddMeter(42, 301);
    deliver = [&c](const Frame& frame, int) { return c.meterTakesWrite || !IsConfigFrame(frame); };
    tamper = [&c](const Frame& frame, int, std::vector<uint8_t>&) {
        if (c.writeFails && FrameCommand(frame) == "09")
            line->failNextWrites(1);
    };
    const QString text = c.text ? QString::fromUtf8(c.text) : CommErrorBoxText(-1);
    InstallUiRecorder(&recorder);
    Open(QStringLiteral("5"), QStringLiteral("42"));

    FormAlteraEnd->Button1Click();

    EXPECT_EQ(Frames().size(), c.frames);
    ExpectBox(text, QStringLiteral("Error"), BoxIcon::Critical);
    EXPECT_EQ(meter.state().address, c.meterTakesWrite && !c.writeFails ? 42 : 5);
    ExpectNothingChanged(QStringLiteral("5"));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, AddressConfirmTest,
    ::testing::Values(
        ConfirmCase{"MeterIgnoresWrite", false, false, false,
                    "The device did not confirm its new address. Check the connection and read the device again.", 4},
        ConfirmCase{"AnotherMeterAnswers", false, true, false,
                    "The device did not confirm its new address. Check the connection and read the device again.", 4},
        ConfirmCase{"WriteNeverLeaves", true, false, true, nullptr, 3}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
