// Hostile typed text in every edit the program converts to a number: each gives the box of
// its edit, nothing goes on the line, nothing crashes.

#include "ReliabilityFixture.h"

#include "ui/dialogs/Alteradelta.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Qvtparametros.h"
#include "ui/dialogs/Registroscalibracao.h"
#include "ui/dialogs/Zerar.h"
#include "ui/main/N2testeqvtmain.h"

#include <functional>
#include <optional>
#include <string>

namespace {

struct Box {
    QString text;   // empty: the top-level conversion-error box, which quotes the typed text
    QString title;
    BoxIcon icon;
};

const Box ConversionError{{}, "QVT_N2", BoxIcon::Critical};

struct Target {
    const char* name;
    std::function<QLineEdit*()> edit;   // gets the hostile text
    std::function<void()> fill;         // valid texts in every other edit the handler checks
    std::function<void()> press;
    Box invalid;
    std::optional<Box> empty;           // the box for an empty edit, when it has its own
};

void Fill(std::initializer_list<std::pair<QLineEdit*, const char*>> texts)
{
    for (const auto& [edit, text] : texts)
        edit->setText(QString::fromLatin1(text));
}

void FillParameters()
{
    auto* f = FormSetParametros;
    Fill({{f->EditEnd, "1"}, {f->EditTP, "1"}, {f->EditTC, "1"}, {f->EditKE, "1"}, {f->EditTL, "1"}, {f->EditTI, "1"}});
}

void FillCalibration()
{
    auto* f = FormRegistrosCalibracao;
    Fill({{f->EditKU, "1"}, {f->EditKI, "1"}, {f->EditCalAtualU1, "1"}, {f->EditCalAtualU2, "1"},
          {f->EditCalAtualU3, "1"}, {f->EditCalAtualI1, "1"}, {f->EditCalAtualI2, "1"},
          {f->EditCalAtualI3, "1"}});
    FormConfiguracao->ShowSerialNumber(1234567);
}

Target Parameter(const char* name, QLineEdit* TFormSetParametros::*edit, Box invalid,
                 std::optional<Box> empty = std::nullopt)
{
    return {name, [edit] { return FormSetParametros->*edit; }, FillParameters,
            [] { FormSetParametros->BitBtnAlterarClick(); }, invalid, empty};
}

Target Calibration(const char* name, QLineEdit* TFormRegistrosCalibracao::*edit, const char* box)
{
    return {name, [edit] { return FormRegistrosCalibracao->*edit; }, FillCalibration,
            [] { FormRegistrosCalibracao->ButtonAlterarCALClick(); }, {box, "Warning", BoxIcon::Critical}, std::nullopt};
}

const Box MainMissing{"Type the device address.", "Warning", BoxIcon::Warning};
const Box MainIncorrect{"Device address incorrect", "Error", BoxIcon::Critical};

std::vector<Target> Targets()
{
    using P = TFormSetParametros;
    using R = TFormRegistrosCalibracao;
    const Box paramInvalid{"Invalid %1 value!", "Error", BoxIcon::Critical};
    auto param = [&](const char* n) { return Box{paramInvalid.text.arg(n), paramInvalid.title, paramInvalid.icon}; };
    return {
        {"MainAddress", [] { return FormMain->EditEnd; }, [] {}, [] { FormMain->ButtonReadClick(); },
         MainIncorrect, MainMissing},
        {"CurrentAddress", [] { return FormAlteraEnd->EditEndAtual; }, [] { FormAlteraEnd->EditNewEnd->setText("2"); },
         [] { FormAlteraEnd->Button1Click(); }, {"Device current address incorrect", "Error", BoxIcon::Critical},
         Box{"Type the device current address.", "Message", BoxIcon::Warning}},
        {"NewAddress", [] { return FormAlteraEnd->EditNewEnd; }, [] { FormAlteraEnd->EditEndAtual->setText("1"); },
         [] { FormAlteraEnd->Button1Click(); }, {"Device new address incorrect", "Error", BoxIcon::Critical},
         Box{"Type the device new address.", "Message", BoxIcon::Warning}},
        {"ResetAddress", [] { return FormMain->EditEnd; }, [] { FormResetEnergy->CheckBoxEAPos->setChecked(true); },
         [] { FormResetEnergy->ResetClick(); }, MainIncorrect, std::nullopt},
        {"ViewAddress", [] { return FormMain->EditEnd; }, [] {},
         [] { FormMain->ButtonConfigurationClick(); FormConfiguracao->hide(); }, ConversionError, MainMissing},
        Parameter("ParameterAddress", &P::EditEnd, {"Device address incorrect!", "Error", BoxIcon::Critical},
                  Box{"Type the device address.", "Warning", BoxIcon::Warning}),
        Parameter("TP", &P::EditTP, param("TP")),
        Parameter("TC", &P::EditTC, param("TC")),
        Parameter("KE", &P::EditKE, param("KE")),
        Parameter("TL", &P::EditTL, param("TL")),
        Parameter("TI", &P::EditTI, param("TI")),
        Calibration("KU", &R::EditKU, " Invalid KU value! "),
        Calibration("KI", &R::EditKI, " Invalid KI value!"),
        Calibration("CAL_U1", &R::EditCalAtualU1, " Invalid CAL_U1 value!"),
        Calibration("CAL_U2", &R::EditCalAtualU2, " Invalid CAL_U2 value!"),
        Calibration("CAL_U3", &R::EditCalAtualU3, " Invalid CAL_U3 value!"),
        Calibration("CAL_I1", &R::EditCalAtualI1, " Invalid CAL_I1 value!"),
        Calibration("CAL_I2", &R::EditCalAtualI2, " Invalid CAL_I2 value!"),
        Calibration("CAL_I3", &R::EditCalAtualI3, " Invalid CAL_I3 value!"),
        {"SerialNumber", [] { return FormAlteraNSerie->EditNewNSerie; }, [] {}, [] { FormAlteraNSerie->Button1Click(); },
         ConversionError, Box{"Inform the new serial number.", "Message", BoxIcon::Warning}},
        {"Delta", [] { return FormAlteraDelta->EditNewDelta; }, [] {}, [] { FormAlteraDelta->ButtonAlterarClick(); },
         ConversionError, Box{"Informe o Novo Delta do dispositivo", "QVT_N2", BoxIcon::NoIcon}},
    };
}

struct Hostile {
    const char* name;
    QString text;
};

const Hostile HostileTexts[] = {
    {"Empty", ""},
    {"Blanks", "   "},
    {"Plus", "+"},
    {"Minus", "-"},
    {"Signs", "+-"},
    {"Huge", QString(41, u'9')},
    {"HugeExponent", "1e999"},
    {"NotANumber", "nan"},
    {"Infinity", "inf"},
    {"MinusInfinity", "-inf"},
    {"ArabicIndicDigit", QString::fromUtf8("\u0663")},
    {"FullwidthDigits", QString::fromUtf8("\uFF11\uFF12")},
    {"TenThousandCharacters", QString(10000, u'7')},
    {"EmbeddedNul", QString::fromUtf16(u"1\u00002", 3)},
};

class HostileInput : public FormsTest, public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        Begin();
        ConnectFake(line);
        // Should anything start a reading after all, it ends after one cycle.
        line.setResponder([](const std::vector<uint8_t>&) {
            StopFlag = 1;
            return FakeLine::Reply{};
        });
    }
    void TearDown() override { End(); }

    FakeLine line;
};

void ExpectBox(const UiEvent& box, const Box& expected, const QString& typed)
{
    EXPECT_EQ(box.title, expected.title);
    EXPECT_EQ(box.icon, expected.icon);
    if (!expected.text.isEmpty()) {
        EXPECT_EQ(box.text, expected.text);
        return;
    }
    // The conversion error quotes what was typed, cut short so the box stays readable.
    EXPECT_TRUE(box.text.endsWith("' is not a valid integer value")) << box.text.toStdString();
    EXPECT_TRUE(box.text.startsWith("'" + typed.left(8))) << box.text.toStdString();
    EXPECT_LE(box.text.size(), 120);
}

TEST_P(HostileInput, EveryTextGivesItsBoxAndSendsNothing)
{
    const Target target = Targets()[GetParam()];
    for (const Hostile& hostile : HostileTexts) {
        SCOPED_TRACE(hostile.name);
        ui.clear();
        line.clearLog();
        target.fill();
        target.edit()->setText(hostile.text);
        ASSERT_EQ(target.edit()->text(), hostile.text);

        target.press();

        EXPECT_TRUE(line.frames().empty()) << line.frames().size() << " frames sent";
        ASSERT_EQ(ui.boxes(), 1);
        const Box& expected = hostile.text.isEmpty() && target.empty ? *target.empty : target.invalid;
        ExpectBox(*ui.lastBox(), expected, hostile.text);
    }
}

INSTANTIATE_TEST_SUITE_P(AllEdits, HostileInput, ::testing::Range(0, static_cast<int>(Targets().size())),
                         [](const auto& info) { return std::string(Targets()[info.param].name); });

}  // namespace
