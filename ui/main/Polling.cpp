// The measurement polling loop of the main window ("&Read" until a stop request).
#include "ui/main/N2testeqvtmain.h"

#include "common/Geral.h"
#include "common/UiServices.h"
#include "link/N2Decode.h"
#include "link/Wn2.h"
#include "ui/FormSupport.h"
#include "ui/dialogs/Calibracao.h"

#include <QCoreApplication>
#include <QLabel>
#include <cstring>
#include <set>
#include <vector>

namespace {

enum class Shown { Scaled, Fixed4, Fixed3 };

using MainEdit = QLineEdit* Ui::TFormMain::*;
using MainLabel = QLabel* Ui::TFormMain::*;
using ConfigEdit = QLineEdit* Ui::TFormConfiguracao::*;

struct Point {
    int object;
    MainEdit edit;
    Shown shown;
    const char* unit;        // base unit of a scaled value
    MainLabel unitLabel;     // a scaled value's prefixed unit, or the fixed unit of the layout
    ConfigEdit configEdit;   // the configuration view's copy, if any
};

using M = Ui::TFormMain;
using C = Ui::TFormConfiguracao;

// Every cycle reads the points in this order: the three-phase rows as the window lists them,
// then objects 7 to 24, then the energies (25, 27, 26, 28) and the demands.
const Point Points[] = {
    {0, &M::EditU, Shown::Scaled, "V", &M::LabelU, nullptr},
    {1, &M::EditI, Shown::Scaled, "A", &M::LabelI, nullptr},
    {5, &M::EditP, Shown::Scaled, "W", &M::LabelP, &C::EditP},
    {4, &M::EditQ, Shown::Scaled, "VAr", &M::LabelQ, nullptr},
    {2, &M::EditFP, Shown::Fixed4, "", nullptr, nullptr},
    {3, &M::EditS, Shown::Scaled, "VA", &M::LabelS, nullptr},
    {6, &M::EditFreq, Shown::Scaled, "Hz", &M::LabelFreq, nullptr},
    {7, &M::EditU1, Shown::Scaled, "V", &M::LabelU1, &C::EditU1},
    {8, &M::EditU2, Shown::Scaled, "V", &M::LabelU2, &C::EditU2},
    {9, &M::EditU3, Shown::Scaled, "V", &M::LabelU3, &C::EditU3},
    {10, &M::EditI1, Shown::Scaled, "A", &M::LabelI1, &C::EditI1},
    {11, &M::EditI2, Shown::Scaled, "A", &M::LabelI2, &C::EditI2},
    {12, &M::EditI3, Shown::Scaled, "A", &M::LabelI3, &C::EditI3},
    {13, &M::EditP1, Shown::Scaled, "W", &M::LabelP1, nullptr},
    {14, &M::EditP2, Shown::Scaled, "W", &M::LabelP2, nullptr},
    {15, &M::EditP3, Shown::Scaled, "W", &M::LabelP3, nullptr},
    {16, &M::EditQ1, Shown::Scaled, "VAr", &M::LabelQ1, nullptr},
    {17, &M::EditQ2, Shown::Scaled, "VAr", &M::LabelQ2, nullptr},
    {18, &M::EditQ3, Shown::Scaled, "VAr", &M::LabelQ3, nullptr},
    {19, &M::EditS1, Shown::Scaled, "VA", &M::LabelS1, nullptr},
    {20, &M::EditS2, Shown::Scaled, "VA", &M::LabelS2, nullptr},
    {21, &M::EditS3, Shown::Scaled, "VA", &M::LabelS3, nullptr},
    {22, &M::EditFP1, Shown::Fixed4, "", nullptr, &C::EditFP1},
    {23, &M::EditFP2, Shown::Fixed4, "", nullptr, &C::EditFP2},
    {24, &M::EditFP3, Shown::Fixed4, "", nullptr, &C::EditFP3},
    {25, &M::EditEAPos, Shown::Fixed3, "", &M::LabelEAPos, nullptr},
    {27, &M::EditEANeg, Shown::Fixed3, "", &M::LabelEANeg, nullptr},
    {26, &M::EditERPos, Shown::Fixed3, "", &M::LabelERPos, nullptr},
    {28, &M::EditERNeg, Shown::Fixed3, "", &M::LabelERNeg, nullptr},
    {29, &M::EditMDA, Shown::Fixed3, "", &M::LabelUniMDA, nullptr},
    {30, &M::EditDA, Shown::Fixed3, "", &M::LabelUniDA, nullptr},
    {31, &M::EditMDS, Shown::Fixed3, "", &M::LabelUniMDS, nullptr},
    {32, &M::EditDS, Shown::Fixed3, "", &M::LabelUniDS, nullptr},
};

// Reactive power L2: a failed read of it is reported but does not end the cycle.
constexpr int ToleratedObject = 17;

// The parameter bank read carries a leading byte and the 12 bytes of the block.
constexpr int BankReplyLength = 13;
// The information read carries a leading byte and the 16-bit start counter.
constexpr int InfoReplyLength = 3;

struct Run {
    int address = 0;
    int32_t serialNumber = 0;
    int errorCount = 0;
    uint8_t reply[256] = {};
    std::set<QWidget*> refreshed;   // the fields the cycle in progress wrote
};

// Every field a cycle writes, with the unit labels that go with them.
std::vector<QWidget*> CycleFields(TFormMain& form)
{
    std::vector<QWidget*> fields{form.EditNSerie, form.EditTP, form.EditTC, form.EditKE,
                                 form.EditTL,     form.EditTI, form.EditPartidas};
    for (const Point& point : Points) {
        fields.push_back(form.*point.edit);
        if (point.unitLabel)
            fields.push_back(form.*point.unitLabel);
        if (point.configEdit && FormConfiguracao)
            fields.push_back(FormConfiguracao->*point.configEdit);
    }
    return fields;
}

void Refresh(Run& run, QLineEdit* field, const QString& text)
{
    ShowValue(field, text);
    run.refreshed.insert(field);
}

// What the cycle did not write again is still shown, but no longer looks live.
void ShowOldFields(TFormMain& form, Run& run)
{
    for (QWidget* field : CycleFields(form)) {
        if (!run.refreshed.count(field))
            ShowAsOld(field, true);
    }
    run.refreshed.clear();
}

// One failed request: beep, count, status bar; the caller decides whether the cycle goes on.
void Fail(TFormMain& form, Run& run, int code)
{
    Beep();
    ++run.errorCount;
    form.ReportCommError(run.errorCount, code);
}

void ToggleLamp(TFormMain& form)
{
    form.ImageLedVermelho->setVisible(LampToggle == 0);
    form.ImageLedVerde->setVisible(LampToggle != 0);
    LampToggle = LampToggle == 0 ? 1 : 0;
}

bool ReadStatus(TFormMain& form, Run& run)
{
    const int result = N2ReadStatus(run.address, run.reply);
    N2Status status{};
    if (!N2DecodeStatus(run.reply, result, status)) {
        Fail(form, run, N2FailureCode(result, N2StatusReplyLength));
        return false;
    }
    run.serialNumber = status.serialNumber;
    Refresh(run, form.EditNSerie, QString::number(status.serialNumber));
    form.SetStatusText(2, " Status : Error Code [" + QString::asprintf("%02d", status.errorCode) + "]");
    return true;
}

float LittleEndianSingle(const uint8_t* bytes)
{
    const uint32_t bits = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool ReadParameters(TFormMain& form, Run& run)
{
    const int result = CfgReadBlock(uint32_t(run.serialNumber), 2, 0, 12, run.reply);
    if (result < BankReplyLength) {
        Fail(form, run, result);
        return false;
    }
    const uint8_t* block = run.reply + 1;
    Refresh(run, form.EditTP, FormatFixed(LittleEndianSingle(block), 4));
    Refresh(run, form.EditTC, FormatFixed(LittleEndianSingle(block + 4), 4));
    Refresh(run, form.EditKE, QString::number(block[8] | block[9] << 8));
    Refresh(run, form.EditTL, QString::number(block[10]));
    Refresh(run, form.EditTI, QString::number(block[11]));
    return true;
}

void ShowPoint(TFormMain& form, Run& run, const Point& point, float value)
{
    QString unitText;
    const QString number = point.shown == Shown::Scaled ? FormatMeasurement(value, point.unit, unitText)
                                                        : FormatFixed(value, point.shown == Shown::Fixed4 ? 4 : 3);
    Refresh(run, form.*point.edit, number);
    if (point.configEdit && FormConfiguracao)
        Refresh(run, FormConfiguracao->*point.configEdit, number);
    if (point.unitLabel) {
        QLabel* label = form.*point.unitLabel;
        if (point.shown == Shown::Scaled)
            label->setText(unitText);
        ShowAsOld(label, false);
        run.refreshed.insert(label);
    }
}

bool ReadPoints(TFormMain& form, Run& run)
{
    for (const Point& point : Points) {
        const int result = N2ReadPoint(run.address, point.object, 3, run.reply);
        float value = 0;
        if (N2DecodePoint(run.reply, result, value)) {
            ShowPoint(form, run, point, value);
            continue;
        }
        Fail(form, run, N2FailureCode(result, N2PointReplyLength));
        if (point.object != ToleratedObject)
            return false;
    }
    return true;
}

void ReadInfo(TFormMain& form, Run& run)
{
    const int result = CfgReadInfo(uint32_t(run.serialNumber), run.reply);
    if (result < InfoReplyLength) {
        Fail(form, run, result);
        return;
    }
    Refresh(run, form.EditPartidas, QString::number(run.reply[1] * 256 + run.reply[2]));
}

// One cycle after the lamp: a failed request abandons the rest of it.
void Cycle(TFormMain& form, Run& run)
{
    const int identified = N2Identify(run.address, run.reply);
    if (identified == -1) {
        Fail(form, run, identified);
        return;
    }
    if (ReadStatus(form, run) && ReadParameters(form, run) && ReadPoints(form, run))
        ReadInfo(form, run);
}

}  // namespace

bool TFormMain::CheckAddress()
{
    if (!AddressTyped("Warning"))
        return false;
    const QString text = EditEnd->text();
    int address = 0;
    if (!TextToInt(text, address))
        RefuseInput(EditEnd, "Device address incorrect", "Error", BoxIcon::Critical);
    else if (address < 1 || address > 255)
        RefuseInput(EditEnd, "Device address must be between 1 and 255", "Error", BoxIcon::Critical);
    else
        return true;
    return false;
}

void TFormMain::SetReading(bool reading)
{
    reading_ = reading;
    EditEnd->setEnabled(!reading);
    ButtonRead->setEnabled(!reading);
    ButtonStop->setEnabled(reading);
    // Where Qt would move the focus from the disabled edit, a Space would open the address
    // dialog; during a run it belongs on what ends the run.
    if (reading)
        ButtonStop->setFocus();
    else
        EditEnd->setFocus();
}

void TFormMain::RunPolling()
{
    Run run;
    SetReading(true);
    StopFlag = 0;
    for (;;) {
        QCoreApplication::processEvents();
        if (StopFlag != 0)
            break;
        // A dialog may have written a new address; one that is not a number ends the run.
        if (!TextToInt(EditEnd->text(), run.address)) {
            ShowIntegerConversionError(EditEnd->text());
            break;
        }
        ToggleLamp(*this);
        Cycle(*this, run);
        ShowOldFields(*this, run);
    }
    SetReading(false);
}

void TFormMain::ButtonReadClick()
{
    if (!CheckAddress())
        return;
    closePending_ = false;
    RunPolling();
    if (closePending_)
        close();
}
