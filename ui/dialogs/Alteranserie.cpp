#include "ui/dialogs/Alteranserie.h"

#include "common/ConversionError.h"
#include "common/Geral.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/Wn2.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/main/N2testeqvtmain.h"

TFormAlteraNSerie* FormAlteraNSerie = nullptr;

namespace {

// The serial number the meter reports in bytes 1 to 4 of its reply; false when fewer than
// five bytes arrived, so a cut reply never passes for a serial number.
bool ReadBackSerialNumber(int32_t& serialNumber)
{
    uint8_t reply[256] = {};
    if (CfgReadSerialNumber(reply) < 5)
        return false;
    const uint32_t value = (uint32_t(reply[1]) << 24) | (uint32_t(reply[2]) << 16) | (uint32_t(reply[3]) << 8) | reply[4];
    serialNumber = static_cast<int32_t>(value);
    return true;
}

}  // namespace

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
    CfgWriteSerialNumber(static_cast<uint32_t>(serialNumber));
    Pause(ConfigWriteDelay);
    int32_t readBack = 0;
    const bool confirmed = ReadBackSerialNumber(readBack) && readBack == serialNumber;
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
