#include "ui/dialogs/Registroscalibracao.h"

#include "common/Geral.h"
#include "common/UiServices.h"
#include "link/Wn2.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/main/N2testeqvtmain.h"

#include <cmath>
#include <cstring>
#include <limits>

TFormRegistrosCalibracao* FormRegistrosCalibracao = nullptr;

namespace {

enum ValueIndex { KU, KI, CalU1, CalU2, CalU3, CalI1, CalI2, CalI3 };

const char* const InvalidValueText[] = {
    " Invalid KU value! ",    " Invalid KI value!",     " Invalid CAL_U1 value!", " Invalid CAL_U2 value!",
    " Invalid CAL_U3 value!", " Invalid CAL_I1 value!", " Invalid CAL_I2 value!", " Invalid CAL_I3 value!",
};

// Block offset of each fixed-point value: phase 3 down to phase 1, current before voltage.
constexpr int FixedOffset[] = {0, 0, 16, 12, 8, 14, 10, 6};

// True when the meter's encoding holds the value: the exponent-first form has no exponent
// below 2^-127 (it would wrap to a huge number), the fixed-point form no magnitude of 8 or
// more (it would flip the sign).
bool Encodable(int index, float value)
{
    if (index == KU || index == KI)
        return value == 0 || std::fabs(value) >= std::ldexp(1.0f, -127);
    return std::fabs(value) < 8.0f;
}

void BuildCalibrationBlock(const float* values, uint8_t* block)
{
    // Each 4-byte exponent-first form overlaps the next field; the block keeps its first 3 bytes.
    uint8_t area[CalibrationBlockSize + 1] = {};
    FloatToBytes(values[KU], area);
    FloatToBytes(values[KI], area + 3);
    for (int index = CalU1; index <= CalI3; ++index)
        FloatToFixed(values[index], area + FixedOffset[index]);
    std::memcpy(block, area, CalibrationBlockSize);
}

}  // namespace

TFormRegistrosCalibracao::TFormRegistrosCalibracao(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    EnterPressesFocusedButton(this);
    for (int index = 0; index < ValueCount; ++index)
        ValueEdit(index)->installEventFilter(this);
    connect(ButtonAlterarCAL, &QPushButton::clicked, this, &TFormRegistrosCalibracao::ButtonAlterarCALClick);
    connect(ButtonFechar, &QPushButton::clicked, this, &TFormRegistrosCalibracao::ButtonFecharClick);
    CentreOnScreen(this);
}

QLineEdit* TFormRegistrosCalibracao::ValueEdit(int index) const
{
    QLineEdit* const edits[ValueCount] = {EditKU,         EditKI,         EditCalAtualU1, EditCalAtualU2,
                                          EditCalAtualU3, EditCalAtualI1, EditCalAtualI2, EditCalAtualI3};
    return edits[index];
}

QLineEdit* TFormRegistrosCalibracao::ViewEdit(int index) const
{
    const TFormConfiguracao* view = FormConfiguracao;
    QLineEdit* const edits[ValueCount] = {view->EditKU,         view->EditKI,         view->EditCalAtualU1,
                                          view->EditCalAtualU2, view->EditCalAtualU3, view->EditCalAtualI1,
                                          view->EditCalAtualI2, view->EditCalAtualI3};
    return edits[index];
}

void TFormRegistrosCalibracao::FormShow()
{
    for (int index = 0; index < ValueCount; ++index)
        ValueEdit(index)->setText(ViewEdit(index)->text());
}

bool TFormRegistrosCalibracao::eventFilter(QObject* watched, QEvent* event)
{
    if (qobject_cast<QLineEdit*>(watched) && EditKUKeyPress(event))
        return true;
    return TDialogForm::eventFilter(watched, event);
}

bool TFormRegistrosCalibracao::EditKUKeyPress(QEvent* event)
{
    return EnterMovesFocus(this, event);
}

void TFormRegistrosCalibracao::ButtonAlterarCALClick()
{
    int32_t serialNumber = 0;
    if (!FormConfiguracao->SerialNumberRead(serialNumber)) {
        Beep();
        ShowMessageBox("Read the device in the configuration view first.", "Warning", BoxIcon::Warning);
        return;
    }
    float values[ValueCount] = {};
    if (!ReadValues(values))
        return;
    SetHourglassCursor();
    const WriteOutcome outcome = WriteBlock(serialNumber, values);
    SetDefaultCursor();
    if (outcome == WriteOutcome::SendFailed) {
        ShowCommError(-1);
        return;
    }
    StopFlag = 1;
    if (outcome == WriteOutcome::NotConfirmed) {
        ShowJumperConfigWarning();
        return;
    }
    ShowMessageBox("Parameters changed.", "Message", BoxIcon::Information);
    ShowInView(values);
    accept();
}

bool TFormRegistrosCalibracao::ReadValues(float* values)
{
    for (int index = 0; index < ValueCount; ++index) {
        if (!ReadValue(index, values[index]))
            return false;
    }
    return true;
}

bool TFormRegistrosCalibracao::ReadValue(int index, float& value)
{
    QLineEdit* edit = ValueEdit(index);
    if (index == KU || index == KI)
        edit->setText(NormalizeDecimalText(edit->text()));
    double typed = 0;
    const bool single = TextToFloat(edit->text(), typed) && std::fabs(typed) <= std::numeric_limits<float>::max();
    value = single ? static_cast<float>(typed) : 0;
    if (single && Encodable(index, value))
        return true;
    RefuseInput(edit, InvalidValueText[index], "Warning", BoxIcon::Critical);
    return false;
}

TFormRegistrosCalibracao::WriteOutcome TFormRegistrosCalibracao::WriteBlock(int32_t serialNumber, const float* values)
{
    uint8_t block[CalibrationBlockSize];
    BuildCalibrationBlock(values, block);
    const auto serial = static_cast<uint32_t>(serialNumber);
    if (CfgWriteBlock(serial, CalibrationBank, 0, CalibrationBlockSize, block) == -1)
        return WriteOutcome::SendFailed;
    // Without the jumper the meter ignores the write: only the block read back proves it.
    Pause(ConfigWriteDelay);
    uint8_t reply[256] = {};
    const int count = CfgReadBlock(serial, CalibrationBank, 0, CalibrationBlockSize, reply);
    if (count > CalibrationBlockSize && std::memcmp(reply + 1, block, CalibrationBlockSize) == 0)
        return WriteOutcome::Written;
    return WriteOutcome::NotConfirmed;
}

void TFormRegistrosCalibracao::ShowInView(const float* values)
{
    for (int index = 0; index < ValueCount; ++index)
        ViewEdit(index)->setText(FormatGeneral(values[index]));
}

void TFormRegistrosCalibracao::ButtonFecharClick()
{
    reject();
}
