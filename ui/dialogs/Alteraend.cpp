#include "ui/dialogs/Alteraend.h"

#include "common/Geral.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/MeterSteps.h"
#include "link/Wn2.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/main/N2testeqvtmain.h"

TFormAlteraEnd* FormAlteraEnd = nullptr;

namespace {

const QString CommErrorText =
    QStringLiteral("Communication error. Make sure the device current address is correct and try again. ");
const QString NotConfirmedText = QStringLiteral(
    "The device did not confirm its new address. Check the connection and read the device again.");

// One address edit, checked as the technician reads it: present, a number, then in range.
// which is "current" or "new", as the boxes name the edit.
bool ReadAddressEdit(QLineEdit* edit, const QString& which, int& address)
{
    const TypedAddress typed = ParseAddress(edit->text());
    if (typed.kind == TypedAddress::Empty) {
        RefuseInput(edit, QStringLiteral("Type the device %1 address.").arg(which), QStringLiteral("Message"),
                    BoxIcon::Warning);
        return false;
    }
    if (typed.kind == TypedAddress::NotInteger) {
        RefuseInput(edit, QStringLiteral("Device %1 address incorrect").arg(which), QStringLiteral("Error"),
                    BoxIcon::Critical);
        return false;
    }
    if (!typed.InRange()) {
        RefuseInput(edit, QStringLiteral("Device %1 address must be between 1 and 255").arg(which),
                    QStringLiteral("Error"), BoxIcon::Critical);
        return false;
    }
    address = typed.value;
    return true;
}

}  // namespace

TFormAlteraEnd::TFormAlteraEnd(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    EnterPressesFocusedButton(this);
    EditEndAtual->installEventFilter(this);
    EditNewEnd->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, &TFormAlteraEnd::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormAlteraEnd::Button2Click);
    FormCreate();
}

void TFormAlteraEnd::FormCreate()
{
    CentreOnScreen(this);
}

void TFormAlteraEnd::FormShow()
{
    EditNewEnd->clear();
    EditEndAtual->setText(FormMain->EditEnd->text());
    if (EditEndAtual->text().isEmpty())
        EditEndAtual->setFocus();
    else
        EditNewEnd->setFocus();
}

bool TFormAlteraEnd::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditEndAtual || watched == EditNewEnd)
        return EditEndAtualKeyPress(event);
    return TDialogForm::eventFilter(watched, event);
}

bool TFormAlteraEnd::EditEndAtualKeyPress(QEvent* event)
{
    return EnterMovesFocus(this, event);
}

void TFormAlteraEnd::Button2Click()
{
    reject();
}

void TFormAlteraEnd::Button1Click()
{
    int current = 0;
    int newAddress = 0;
    if (!ReadAddresses(current, newAddress))
        return;
    const CursorState remembered = CurrentCursor();
    SetHourglassCursor();
    int32_t serialNumber = 0;
    if (!ReadSerialNumber(current, serialNumber)) {
        RestoreCursor(remembered);
        RefuseInput(EditEndAtual, CommErrorText, QStringLiteral("Error"), BoxIcon::Critical);
        return;
    }
    // The address write gets no reply, so the meter must answer at its new address with the
    // same serial number; an answer from any other meter there proves nothing.
    const StepOutcome outcome = WriteAddress(serialNumber, newAddress);
    RestoreCursor(remembered);
    if (outcome.kind == StepOutcome::SendFailed) {
        ShowCommError(outcome.code);
    } else if (!outcome.confirmed()) {
        Beep();
        ShowMessageBox(NotConfirmedText, QStringLiteral("Error"), BoxIcon::Critical);
    } else {
        ShowChanged(newAddress, serialNumber);
    }
}

bool TFormAlteraEnd::ReadAddresses(int& current, int& newAddress)
{
    return ReadAddressEdit(EditEndAtual, QStringLiteral("current"), current) &&
           ReadAddressEdit(EditNewEnd, QStringLiteral("new"), newAddress);
}

// Identify, then the status reply that carries the serial number the address write is sent to.
// Without an answer or a clean serial number nothing may be written.
bool TFormAlteraEnd::ReadSerialNumber(int current, int32_t& serialNumber)
{
    if (!Identify(current).confirmed())
        return false;
    Pause(CommandDelay);
    const bool read = ::ReadSerialNumber(current, serialNumber).confirmed();
    Pause(CommandDelay);
    return read;
}

void TFormAlteraEnd::ShowChanged(int newAddress, int32_t serialNumber)
{
    FormMain->ShowAddress(newAddress);
    FormConfiguracao->ShowAddress(newAddress);
    FormMain->ShowSerialNumber(serialNumber);
    Beep();
    ShowMessageBox(QStringLiteral("Device address changed."), QStringLiteral("Message"), BoxIcon::Information);
    accept();
}
