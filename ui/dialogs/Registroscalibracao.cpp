#include "ui/dialogs/Registroscalibracao.h"

#include "common/Geral.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/MeterSteps.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/main/N2testeqvtmain.h"

#include <cmath>
#include <limits>

TFormRegistrosCalibracao* FormRegistrosCalibracao = nullptr;

namespace {

const char* const InvalidValueText[CalibrationBlock::ValueCount] = {
    " Invalid KU value! ",    " Invalid KI value!",     " Invalid CAL_U1 value!", " Invalid CAL_U2 value!",
    " Invalid CAL_U3 value!", " Invalid CAL_I1 value!", " Invalid CAL_I2 value!", " Invalid CAL_I3 value!",
};

}  // namespace

TFormRegistrosCalibracao::TFormRegistrosCalibracao(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    EnterPressesFocusedButton(this);
    for (int which = 0; which < CalibrationBlock::ValueCount; ++which)
        ValueEdit(which)->installEventFilter(this);
    connect(ButtonAlterarCAL, &QPushButton::clicked, this, &TFormRegistrosCalibracao::ButtonAlterarCALClick);
    connect(ButtonFechar, &QPushButton::clicked, this, &TFormRegistrosCalibracao::ButtonFecharClick);
    CentreOnScreen(this);
}

QLineEdit* TFormRegistrosCalibracao::ValueEdit(int which) const
{
    QLineEdit* const edits[CalibrationBlock::ValueCount] = {EditKU,         EditKI,         EditCalAtualU1,
                                                            EditCalAtualU2, EditCalAtualU3, EditCalAtualI1,
                                                            EditCalAtualI2, EditCalAtualI3};
    return edits[which];
}

void TFormRegistrosCalibracao::FormShow()
{
    for (int which = 0; which < CalibrationBlock::ValueCount; ++which)
        ValueEdit(which)->setText(FormConfiguracao->CalibrationEdit(which)->text());
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
    CalibrationBlock calibration;
    if (!ReadValues(calibration))
        return;
    SetHourglassCursor();
    // Without the jumper the meter ignores the write: only the block read back proves it.
    const StepOutcome outcome = WriteCalibration(serialNumber, calibration);
    SetDefaultCursor();
    if (outcome.kind == StepOutcome::SendFailed) {
        ShowCommError(outcome.code);
        return;
    }
    StopFlag = 1;
    if (!outcome.confirmed()) {
        ShowJumperConfigWarning();
        return;
    }
    ShowMessageBox("Parameters changed.", "Message", BoxIcon::Information);
    FormConfiguracao->ShowCalibration(calibration);
    accept();
}

bool TFormRegistrosCalibracao::ReadValues(CalibrationBlock& calibration)
{
    for (int which = 0; which < CalibrationBlock::ValueCount; ++which) {
        if (!ReadValue(static_cast<CalibrationBlock::Value>(which), calibration.values[which]))
            return false;
    }
    return true;
}

bool TFormRegistrosCalibracao::ReadValue(CalibrationBlock::Value which, float& value)
{
    QLineEdit* edit = ValueEdit(which);
    if (which == CalibrationBlock::KU || which == CalibrationBlock::KI)
        edit->setText(NormalizeDecimalText(edit->text()));
    double typed = 0;
    const bool single = TextToFloat(edit->text(), typed) && std::fabs(typed) <= std::numeric_limits<float>::max();
    value = single ? static_cast<float>(typed) : 0;
    if (single && CalibrationBlock::Holds(which, value))
        return true;
    RefuseInput(edit, InvalidValueText[which], "Warning", BoxIcon::Critical);
    return false;
}

void TFormRegistrosCalibracao::ButtonFecharClick()
{
    reject();
}
