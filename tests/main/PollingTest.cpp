// Successful polling cycles: every field from the meter's values, the request order, the lamp,
// and the ways a run ends.
#include "tests/main/MainFixture.h"

#include "common/Geral.h"
#include "common/NumberText.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Sobre.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QMetaObject>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>

namespace {

struct Field {
    int object;
    const char* edit;
    const char* unit;    // base unit of a scaled value; nullptr for a fixed-point one
    const char* label;   // unit label of a scaled value
    int decimals;        // fixed-point values
};

const Field Fields[] = {
    {0, "EditU", "V", "LabelU", 0},       {1, "EditI", "A", "LabelI", 0},       {5, "EditP", "W", "LabelP", 0},
    {4, "EditQ", "VAr", "LabelQ", 0},     {2, "EditFP", nullptr, nullptr, 4},   {3, "EditS", "VA", "LabelS", 0},
    {6, "EditFreq", "Hz", "LabelFreq", 0}, {7, "EditU1", "V", "LabelU1", 0},    {8, "EditU2", "V", "LabelU2", 0},
    {9, "EditU3", "V", "LabelU3", 0},     {10, "EditI1", "A", "LabelI1", 0},    {11, "EditI2", "A", "LabelI2", 0},
    {12, "EditI3", "A", "LabelI3", 0},    {13, "EditP1", "W", "LabelP1", 0},    {14, "EditP2", "W", "LabelP2", 0},
    {15, "EditP3", "W", "LabelP3", 0},    {16, "EditQ1", "VAr", "LabelQ1", 0},  {17, "EditQ2", "VAr", "LabelQ2", 0},
    {18, "EditQ3", "VAr", "LabelQ3", 0},  {19, "EditS1", "VA", "LabelS1", 0},   {20, "EditS2", "VA", "LabelS2", 0},
    {21, "EditS3", "VA", "LabelS3", 0},   {22, "EditFP1", nullptr, nullptr, 4}, {23, "EditFP2", nullptr, nullptr, 4},
    {24, "EditFP3", nullptr, nullptr, 4}, {25, "EditEAPos", nullptr, nullptr, 3}, {27, "EditEANeg", nullptr, nullptr, 3},
    {26, "EditERPos", nullptr, nullptr, 3}, {28, "EditERNeg", nullptr, nullptr, 3}, {29, "EditMDA", nullptr, nullptr, 3},
    {30, "EditDA", nullptr, nullptr, 3},  {31, "EditMDS", nullptr, nullptr, 3}, {32, "EditDS", nullptr, nullptr, 3},
};

// The configuration view copies these ten values as the main window shows them.
const char* const ConfigCopies[] = {"EditP", "EditU1", "EditU2", "EditU3", "EditI1",
                                    "EditI2", "EditI3", "EditFP1", "EditFP2", "EditFP3"};

void PutLittleEndian(uint8_t* bytes, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(bits >> (8 * i));
}

class Polling : public MainFixture {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        MainFixture::SetUp();
        meter.settings().serialNumber = 0x80000001u;   // top bit set: a negative serial number
        meter.settings().statusCode = 7;
        meter.settings().frozenEnergies = true;
        meter.settings().noNoise = true;
        for (const Field& field : Fields)
            meter.setPoint(field.object, Value(field.object));
        uint8_t* bank = meter.state().bank2;
        PutLittleEndian(bank, 1.0f);
        PutLittleEndian(bank + 4, 2.5f);
        bank[8] = 0x34;
        bank[9] = 0x12;
        bank[10] = 5;
        bank[11] = 9;
        meter.state().startCounter = 300;
    }
    void TearDown() override
    {
        MainFixture::TearDown();
        QLocale::setDefault(QLocale::system());
    }
    // Distinct per object and exact in single precision, so a value in the wrong field shows.
    static float Value(int object) { return 1234.25f + 1000.0f * object; }

    void ExpectField(const Field& field) const
    {
        SCOPED_TRACE(field.edit);
        const float value = meter.state().points[field.object];
        if (field.unit) {
            QString unit;
            EXPECT_EQ(Text(field.edit), FormatMeasurement(value, field.unit, unit));
            EXPECT_EQ(FormMain->findChild<QLabel*>(field.label)->text(), unit);
        } else {
            EXPECT_EQ(Text(field.edit), FormatFixed(value, field.decimals));
        }
    }
};

TEST_F(Polling, OneCycleFillsEveryFieldInRequestOrder)
{
    Read("1");
    EXPECT_EQ(Kinds(), CycleKinds());
    for (const Field& field : Fields)
        ExpectField(field);
    for (const char* name : ConfigCopies)
        EXPECT_EQ(FormConfiguracao->findChild<QLineEdit*>(name)->text(), Text(name)) << name;
    EXPECT_EQ(Text("EditNSerie"), "-2147483647");
    const Bytes serial{0x80, 0x00, 0x00, 0x01};
    const std::vector<Bytes> frames = line.frames();
    for (int config : {2, 36})
        EXPECT_EQ(Bytes(frames[config].begin() + 1, frames[config].begin() + 5), serial);
    EXPECT_EQ(FormMain->StatusText(2), " Status : Error Code [07]");
    EXPECT_EQ(FormMain->StatusText(3), " Error Communication : 0");
    EXPECT_EQ(Text("EditTP"), "1.0000");
    EXPECT_EQ(Text("EditTC"), "2.5000");
    EXPECT_EQ(Text("EditKE"), "4660");
    EXPECT_EQ(Text("EditTL"), "5");
    EXPECT_EQ(Text("EditTI"), "9");
    EXPECT_EQ(Text("EditPartidas"), "300");
    EXPECT_EQ(Text("EditEAPos"), "26234.250");   // no group separator
    EXPECT_EQ(ui.beeps(), 0);
    EXPECT_EQ(ui.boxes(), 0);
}

TEST_F(Polling, CommaLocaleFormatsEveryNumberWithComma)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    meter.setPoint(2, 0.5f);
    Read("1");
    EXPECT_EQ(Text("EditFP"), "0,5000");
    EXPECT_EQ(Text("EditTP"), "1,0000");
    EXPECT_EQ(Text("EditEAPos"), "26234,250");
    EXPECT_TRUE(Text("EditU").contains(',')) << Text("EditU").toStdString();
    ExpectField(Fields[0]);
}

TEST_F(Polling, LampChangesOncePerCycleAndCarriesOver)
{
    std::vector<bool> red;
    onFrame = [&red](const Bytes& frame) {
        if (FrameKind(frame) == "I")
            red.push_back(FormMain->ImageLedVermelho->isVisibleTo(FormMain));
    };
    const bool firstRed = LampToggle == 0;
    StopAfterCycles(3);
    Read("1");
    StopAfterCycles(1);
    Read("1");
    const std::vector<bool> expected{firstRed, !firstRed, firstRed, !firstRed};
    EXPECT_EQ(red, expected);
    EXPECT_NE(FormMain->ImageLedVermelho->isVisibleTo(FormMain), FormMain->ImageLedVerde->isVisibleTo(FormMain));
}

struct Ending {
    const char* name;
    void (*press)();
    int stopFlag;
    bool windowStays;
};

void PrintTo(const Ending& ending, std::ostream* out)
{
    *out << ending.name;
}

class PollingEnds : public Polling, public ::testing::WithParamInterface<Ending> {};

// The request comes in while a cycle runs: that cycle is sent to its end, and no other.
TEST_P(PollingEnds, AfterTheCycleInProgress)
{
    int closed = 0;
    QObject::connect(FormMain, &TFormMain::Closed, [&closed] { ++closed; });
    onFrame = [](const Bytes& frame) {
        if (FrameKind(frame) == "P7")
            QMetaObject::invokeMethod(FormMain, GetParam().press, Qt::QueuedConnection);
    };
    StopAfterCycles(3);
    Read("1");
    EXPECT_EQ(Kinds(), CycleKinds());
    EXPECT_EQ(StopFlag, GetParam().stopFlag);
    EXPECT_EQ(FormMain->isVisible(), GetParam().windowStays);
    EXPECT_EQ(closed, GetParam().windowStays ? 0 : 1);
    EXPECT_TRUE(FormMain->ButtonRead->isEnabled());
    EXPECT_TRUE(FormMain->EditEnd->isEnabled());
    EXPECT_FALSE(FormMain->ButtonStop->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, PollingEnds,
    ::testing::Values(Ending{"Stop", [] { FormMain->ButtonStop->click(); }, 1, true},
                      Ending{"Close", [] { FormMain->ButtonClose->click(); }, 2, false},
                      Ending{"TitleBarClose", [] { FormMain->close(); }, 2, false}),
    [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

// Only a dialog can change the address during a run; text that is no number ends the run.
TEST_F(Polling, AddressThatIsNoLongerANumberEndsTheRun)
{
    onFrame = [](const Bytes& frame) {
        if (FrameKind(frame) == "N")
            FormMain->EditEnd->setText("1a");
    };
    StopAfterCycles(3);
    Read("1");
    EXPECT_EQ(Kinds(), CycleKinds());
    ASSERT_EQ(ui.boxes(), 1);
    EXPECT_EQ(ui.lastBox()->icon, BoxIcon::Critical);
    EXPECT_TRUE(ui.lastBox()->text.contains("'1a'")) << ui.lastBox()->text.toStdString();
    EXPECT_TRUE(FormMain->ButtonRead->isEnabled());
    EXPECT_FALSE(FormMain->ButtonStop->isEnabled());
}

// A dialog opened during a run holds the loop; "S&et" ends the run once its dialog closes.
TEST_F(Polling, ModalDialogsPauseTheRun)
{
    struct Case {
        QPushButton* button;
        QDialog* dialog;
        size_t frames;
    } cases[] = {{FormMain->ButtonAlteraAddress, FormAlteraEnd, 37}, {FormMain->ButtonAbout, FormSobreBrelt, 74}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        QString shownAddress;
        size_t framesWhileOpen = 0;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != c.dialog)
                return;
            shownAddress = FormAlteraEnd->EditEndAtual->text();
            framesWhileOpen = line.frames().size();
            c.dialog->reject();
        });
        closer.start(0);
        onFrame = [&c](const Bytes& frame) {
            if (FrameKind(frame) == "P7" && StopFlag == 0 && !c.dialog->isVisible())
                QMetaObject::invokeMethod(c.button, &QPushButton::click, Qt::QueuedConnection);
        };
        StopAfterCycles(2);
        Read("1");
        EXPECT_EQ(framesWhileOpen, 37u);
        EXPECT_EQ(line.frames().size(), c.frames);
        if (c.dialog == FormAlteraEnd) {
            EXPECT_EQ(shownAddress, "1");
        }
        EXPECT_TRUE(FormMain->ButtonRead->isEnabled());
    }
}

// A Space during a run presses "&Stop", never the address "S&et" that follows the disabled edit.
TEST_F(Polling, FocusOnStopDuringTheRunThenBackOnTheAddress)
{
    QWidget* focusDuringRun = nullptr;
    QWidget* opened = nullptr;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            opened = dialog;
            dialog->reject();
        }
    });
    closer.start(0);
    onFrame = [&](const Bytes& frame) {
        if (FrameKind(frame) != "I" || focusDuringRun)
            return;
        focusDuringRun = FormMain->focusWidget();
        QMetaObject::invokeMethod(
            FormMain, [] { QTest::keyClick(FormMain->focusWidget(), Qt::Key_Space); }, Qt::QueuedConnection);
    };
    StopAfterCycles(3);
    Read("1");
    EXPECT_EQ(focusDuringRun, FormMain->ButtonStop);
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(StopFlag, 1);
    EXPECT_EQ(Kinds(), CycleKinds());
    EXPECT_EQ(FormMain->focusWidget(), FormMain->EditEnd);
}

TEST_F(Polling, ReadingStateWhileTheLoopRuns)
{
    bool readEnabled = true, stopEnabled = false, editEnabled = true;
    onFrame = [&](const Bytes&) {
        readEnabled = FormMain->ButtonRead->isEnabled();
        stopEnabled = FormMain->ButtonStop->isEnabled();
        editEnabled = FormMain->EditEnd->isEnabled();
    };
    Read("1");
    EXPECT_FALSE(readEnabled);
    EXPECT_TRUE(stopEnabled);
    EXPECT_FALSE(editEnabled);
}

}  // namespace
