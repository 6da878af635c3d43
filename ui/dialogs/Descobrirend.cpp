#include "ui/dialogs/Descobrirend.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QHideEvent>

#include "common/UiServices.h"
#include "link/AddressScan.h"
#include "ui/main/N2testeqvtmain.h"

TFormDescobrirEnd* FormDescobrirEnd = nullptr;

namespace {

const QString NotFoundText = QStringLiteral(
    "Could not find the device address. Make sure there is only on device on the N2 network and try again. ");

}  // namespace

TFormDescobrirEnd::TFormDescobrirEnd(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    EnterPressesFocusedButton(this);
    ordem_ = new QButtonGroup(this);
    ordem_->addButton(RadioButtonIncreasing, 0);
    ordem_->addButton(RadioButtonDecreasing, 1);
    ButtonCancel->installEventFilter(this);
    connect(ButtonDescobrir, &QPushButton::clicked, this, &TFormDescobrirEnd::ButtonDescobrirClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormDescobrirEnd::ButtonCancelClick);
    FormCreate();
}

int TFormDescobrirEnd::RadioGroupOrdemIndex() const
{
    return ordem_->checkedId();
}

void TFormDescobrirEnd::SetRadioGroupOrdemIndex(int index)
{
    if (QAbstractButton* button = ordem_->button(index))
        button->setChecked(true);
}

void TFormDescobrirEnd::FormCreate()
{
    CentreOnScreen(this);
}

void TFormDescobrirEnd::FormShow()
{
    EditEnd->clear();
    RadioGroupOrdem->setEnabled(true);
    ButtonDescobrir->setEnabled(true);
    ButtonDescobrir->setFocus();
    SetRadioGroupOrdemIndex(0);
}

// Every way the dialog can go away (its "&Close", done(), reject(), a window close) ends up
// here; a scan must never go on behind a closed dialog.
void TFormDescobrirEnd::hideEvent(QHideEvent* event)
{
    TDialogForm::hideEvent(event);
    if (event->spontaneous())
        return;
    if (scanning_)
        StopFlag = 2;
    FormClose();
}

void TFormDescobrirEnd::FormClose()
{
    SetDefaultCursor();
}

bool TFormDescobrirEnd::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ButtonCancel && (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter))
        ButtonCancelMouseMove();
    return TDialogForm::eventFilter(watched, event);
}

void TFormDescobrirEnd::ButtonCancelMouseMove()
{
    SetDefaultCursor();
}

void TFormDescobrirEnd::ButtonCancelClick()
{
    StopFlag = 2;
    reject();
}

void TFormDescobrirEnd::ButtonDescobrirClick()
{
    EditEnd->clear();
    ButtonDescobrir->setEnabled(false);
    RadioGroupOrdem->setEnabled(false);
    const ScanOrder order = RadioGroupOrdemIndex() == 1 ? ScanOrder::Decreasing : ScanOrder::Increasing;
    StopFlag = 0;
    scanning_ = true;
    const ScanResult result = ScanAddresses(order, [this](int address) { return BeforeAddress(address); });
    if (result.kind == ScanResult::Stopped) {
        // The dialog is closing; the next show enables the controls again.
        scanning_ = false;
        SetDefaultCursor();
        return;
    }
    if (result.kind == ScanResult::Found) {
        FormMain->ShowAddress(result.address);
    } else {
        Beep();
        ShowMessageBox(NotFoundText, QStringLiteral("Error"), BoxIcon::Critical);
    }
    EndScan();
}

// Between two addresses "&Close" can run; the address about to be tried is shown.
bool TFormDescobrirEnd::BeforeAddress(int address)
{
    SetHourglassCursor();
    QCoreApplication::processEvents();
    if (StopFlag == 2)
        return false;
    EditEnd->setText(QString::number(address));
    return true;
}

void TFormDescobrirEnd::EndScan()
{
    scanning_ = false;
    ButtonDescobrir->setEnabled(true);
    RadioGroupOrdem->setEnabled(true);
    SetDefaultCursor();
}
