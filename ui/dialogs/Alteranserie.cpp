#include "ui/dialogs/Alteranserie.h"

#include "common/ConversionError.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/MeterSteps.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/main/N2testeqvtmain.h"

TFormAlteraNSerie* FormAlteraNSerie = nullptr;

void ShowJumperConfigWarning()
{
    Beep();
    ShowMessageBox("The device doesn't have a Jumper CONFIG, try again. If the device has a Jumper then you "
                   "should verify if there is a communication error.",
                   "Warning", BoxIcon::Warning);
}

TFormAlteraNSerie::TFormAlteraNSerie(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    EnterPressesFocusedButton(this);
    EditNewNSerie->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, &TFormAlteraNSerie::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormAlteraNSerie::Button2Click);
    FormCreate();
}

void TFormAlteraNSerie::FormCreate()
{
    CentreOnScreen(this);
}

void TFormAlteraNSerie::FormShow()
{
    EditNewNSerie->setFocus();
}

bool TFormAlteraNSerie::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditNewNSerie && EditNewNSerieKeyPress(event))
        return true;
    return TDialogForm::eventFilter(watched, event);
}

bool TFormAlteraNSerie::EditNewNSerieKeyPress(QEvent* event)
{
    return EnterMovesFocus(this, event);
}

void TFormAlteraNSerie::Button1Click()
{
    const QString text = EditNewNSerie->text();
    if (text.isEmpty()) {
        RefuseInput(EditNewNSerie, "Inform the new serial number.", "Message", BoxIcon::Warning);
        return;
    }
    const CursorState remembered = CurrentCursor();
    SetHourglassCursor();
    int serialNumber = 0;
    if (!TextToInt(text, serialNumber)) {
        RestoreCursor(remembered);
        ShowIntegerConversionError(text);
        return;
    }
    // Only the number read back proves the meter took it: without the jumper it ignores the write.
    const bool confirmed = WriteSerialNumber(serialNumber).confirmed();
    RestoreCursor(remembered);
    if (!confirmed) {
        ShowJumperConfigWarning();
        EditNewNSerie->setFocus();
        return;
    }
    FormMain->ShowSerialNumber(serialNumber);
    FormConfiguracao->ShowSerialNumber(serialNumber);
    accept();
    Beep();
    ShowMessageBox("New serial number changed.", "Message", BoxIcon::Information);
}

void TFormAlteraNSerie::Button2Click()
{
    reject();
}
