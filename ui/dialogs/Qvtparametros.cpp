#include "ui/dialogs/Qvtparametros.h"

#include "common/Geral.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/MeterSteps.h"
#include "ui/main/N2testeqvtmain.h"

#include <cmath>
#include <limits>

TFormSetParametros* FormSetParametros = nullptr;

TFormSetParametros::TFormSetParametros(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    move(299, 154);
    setEscapeCloses(true);
    EnterPressesFocusedButton(this);
    for (QLineEdit* edit : {EditEnd, EditTP, EditTC, EditKE, EditTL, EditTI})
        edit->installEventFilter(this);
    connect(BitBtnAlterar, &QPushButton::clicked, this, &TFormSetParametros::BitBtnAlterarClick);
    connect(BitBtnClose, &QPushButton::clicked, this, &TFormSetParametros::reject);
}

void TFormSetParametros::FormShow()
{
    if (!FormMain->EditEnd->text().isEmpty()) {
        EditEnd->setText(FormMain->EditEnd->text());
        EditTP->setFocus();
    } else {
        EditEnd->setFocus();
    }
    EditTP->setText(FormMain->EditTP->text());
    EditTC->setText(FormMain->EditTC->text());
    EditKE->setText(FormMain->EditKE->text());
    EditTL->setText(FormMain->EditTL->text());
    EditTI->setText(FormMain->EditTI->text());
}

bool TFormSetParametros::eventFilter(QObject* watched, QEvent* event)
{
    if (qobject_cast<QLineEdit*>(watched) && EditEndKeyPress(event))
        return true;
    return TDialogForm::eventFilter(watched, event);
}

bool TFormSetParametros::EditEndKeyPress(QEvent* event)
{
    return EnterMovesFocus(this, event);
}

void TFormSetParametros::BitBtnAlterarClick()
{
    const CursorState remembered = CurrentCursor();
    Values values{};
    if (!ReadValues(values))
        return;
    FormMain->ShowAddress(values.address);
    const StepOutcome identified = Identify(values.address);
    if (!identified.confirmed()) {
        Beep();
        ShowCommError(identified.code);
        return;
    }
    SetHourglassCursor();
    int32_t serialNumber = 0;
    if (!ReadSerialNumber(values.address, remembered, serialNumber)
        || !WriteBlock(serialNumber, values.parameters, remembered))
        return;
    Beep();
    ShowMessageBox("Parameters changed.", "Message", BoxIcon::Information);
    if (FormMain->ReadingShown())
        FormMain->ShowParameters(values.parameters);
    RestoreCursor(remembered);
    accept();
}

bool TFormSetParametros::ReadValues(Values& values)
{
    ParameterBlock& parameters = values.parameters;
    int ke = 0;
    int tl = 0;
    int ti = 0;
    if (!ReadAddress(values.address) || !ReadRatio(EditTP, "TP", parameters.tp) || !ReadRatio(EditTC, "TC", parameters.tc)
        || !ReadWhole(EditKE, "KE", 65535, ke) || !ReadWhole(EditTL, "TL", 255, tl) || !ReadWhole(EditTI, "TI", 60, ti))
        return false;
    parameters.ke = static_cast<uint16_t>(ke);
    parameters.tl = static_cast<uint8_t>(tl);
    parameters.ti = static_cast<uint8_t>(ti);
    return true;
}

bool TFormSetParametros::ReadAddress(int& address)
{
    const TypedAddress typed = ParseAddress(EditEnd->text());
    if (typed.kind == TypedAddress::Empty) {
        RefuseInput(EditEnd, "Type the device address.", "Warning", BoxIcon::Warning);
        return false;
    }
    if (typed.kind == TypedAddress::NotInteger) {
        RefuseInput(EditEnd, "Device address incorrect!", "Error", BoxIcon::Critical);
        return false;
    }
    // Only the low 8 bits would reach the line and another meter would take the block.
    if (!typed.InRange()) {
        RefuseInput(EditEnd, "Device address must be between 1 and 255", "Error", BoxIcon::Critical);
        return false;
    }
    address = typed.value;
    return true;
}

bool TFormSetParametros::ReadRatio(QLineEdit* edit, const QString& name, float& value)
{
    edit->setText(NormalizeDecimalText(edit->text()));
    double typed = 0;
    // The meter stores a single: anything beyond its range would arrive as infinity.
    if (!TextToFloat(edit->text(), typed) || std::fabs(typed) > std::numeric_limits<float>::max()) {
        RefuseInput(edit, "Invalid " + name + " value!", "Error", BoxIcon::Critical);
        return false;
    }
    value = static_cast<float>(typed);
    if (!(value > 0)) {
        RefuseInput(edit, name + " value must be > 0.", "Message", BoxIcon::Warning);
        return false;
    }
    return true;
}

bool TFormSetParametros::ReadWhole(QLineEdit* edit, const QString& name, int maximum, int& value)
{
    if (!TextToInt(edit->text(), value)) {
        RefuseInput(edit, "Invalid " + name + " value!", "Error", BoxIcon::Critical);
        return false;
    }
    if (value < 0 || value > maximum) {
        RefuseInput(edit, QString("%1 value must be between 0 and %2.").arg(name).arg(maximum), "Message", BoxIcon::Warning);
        return false;
    }
    return true;
}

bool TFormSetParametros::ReadSerialNumber(int address, CursorState remembered, int32_t& serialNumber)
{
    const StepOutcome read = ::ReadSerialNumber(address, serialNumber);
    if (!read.confirmed()) {
        Beep();
        RestoreCursor(remembered);
        ShowCommError(read.code);
        return false;
    }
    FormMain->ShowSerialNumber(serialNumber);
    return true;
}

bool TFormSetParametros::WriteBlock(int32_t serialNumber, const ParameterBlock& parameters, CursorState remembered)
{
    const StepOutcome written = WriteParameters(serialNumber, parameters);
    if (written.confirmed())
        return true;
    RestoreCursor(remembered);
    if (written.kind != StepOutcome::NotConfirmed) {
        ShowCommError(written.code);
        return false;
    }
    Beep();
    ShowMessageBox("The device did not confirm the parameters. Check the connection and try again.", "Error",
                   BoxIcon::Critical);
    return false;
}
