#include "ui/dialogs/Calibracao.h"

#include "common/Geral.h"
#include "common/UiServices.h"
#include "link/N2Decode.h"
#include "link/Wn2.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Registroscalibracao.h"
#include "ui/main/N2testeqvtmain.h"

TFormConfiguracao* FormConfiguracao = nullptr;

namespace {

float FixedAt(const uint8_t* block, int offset)
{
    float value = 0;
    FixedToFloat(block + offset, value);
    return value;
}

float ExponentFirstAt(const uint8_t* block, int offset)
{
    return static_cast<float>(BytesToFloat(block[offset], block[offset + 1], block[offset + 2], 0));
}

}  // namespace

TFormConfiguracao::TFormConfiguracao(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(size());
    setEscapeCloses(true);
    EnterPressesFocusedButton(this);
    // Values longer than their edit show their leading digits, not their tail.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, edit, [edit] { edit->setCursorPosition(0); });
    connect(BitBtn3, &QPushButton::clicked, this, &TFormConfiguracao::BitBtn3Click);
    connect(ButtonAlterarCAL, &QPushButton::clicked, this, &TFormConfiguracao::ButtonAlterarCALClick);
    connect(ButtonSetNSerie, &QPushButton::clicked, this, &TFormConfiguracao::ButtonSetNSerieClick);
    connect(Button1, &QPushButton::clicked, this, &TFormConfiguracao::Button1Click);
    CentreOnScreen(this);
}

void TFormConfiguracao::FormShow()
{
    const QString text = FormMain->EditEnd->text();
    int address = 0;
    // A serial number kept from an earlier read would send calibration to that meter.
    if (!TextToInt(text, address)) {
        ClearSerialNumber();
        ShowIntegerConversionError(text);
        return;
    }
    if (address < 1 || address > 255) {
        ClearSerialNumber();
        Beep();
        ShowMessageBox("Device address must be between 1 and 255", "Error", BoxIcon::Critical);
        return;
    }
    EditEnd->setText(QString::number(address));
    int32_t serialNumber = 0;
    if (!ReadIdentity(address, serialNumber)) {
        ClearSerialNumber();
        ClearCalibration();
        return;
    }
    // Calibration shown beside another meter's serial number would be written to the wrong meter.
    if (!ReadCalibration(serialNumber))
        ClearCalibration();
}

bool TFormConfiguracao::ReadIdentity(int address, int32_t& serialNumber)
{
    uint8_t reply[256] = {};
    if (N2Identify(address, reply) == -1) {
        Beep();
        ShowCommError(-1);
    }
    const int count = N2ReadStatus(address, reply);
    N2Status status{};
    if (!N2DecodeStatus(reply, count, status))
        return false;
    serialNumber = status.serialNumber;
    ShowSerialNumber(serialNumber);
    ShowValue(FormMain->EditNSerie, QString::number(serialNumber));
    FormMain->SetStatusText(2, " Status : Error Code [" + QString::asprintf("%02d", status.errorCode) + "]");
    return true;
}

bool TFormConfiguracao::ReadCalibration(int32_t serialNumber)
{
    uint8_t reply[256] = {};
    const int count = CfgReadBlock(static_cast<uint32_t>(serialNumber), CalibrationBank, 0, CalibrationBlockSize, reply);
    if (count <= CalibrationBlockSize)
        return false;
    const uint8_t* block = reply + 1;
    EditKU->setText(FormatGeneral(ExponentFirstAt(block, 0)));
    EditKI->setText(FormatGeneral(ExponentFirstAt(block, 3)));
    EditCalAtualU1->setText(FormatGeneral(FixedAt(block, 16)));
    EditCalAtualU2->setText(FormatGeneral(FixedAt(block, 12)));
    EditCalAtualU3->setText(FormatGeneral(FixedAt(block, 8)));
    EditCalAtualI1->setText(FormatGeneral(FixedAt(block, 14)));
    EditCalAtualI2->setText(FormatGeneral(FixedAt(block, 10)));
    EditCalAtualI3->setText(FormatGeneral(FixedAt(block, 6)));
    return true;
}

void TFormConfiguracao::ClearCalibration()
{
    for (QLineEdit* edit : {EditKU, EditKI, EditCalAtualU1, EditCalAtualU2, EditCalAtualU3, EditCalAtualI1,
                            EditCalAtualI2, EditCalAtualI3})
        edit->clear();
}

void TFormConfiguracao::ShowSerialNumber(int32_t serialNumber)
{
    serialNumber_ = serialNumber;
    EditNSerie->setText(QString::number(serialNumber));
}

bool TFormConfiguracao::SerialNumberRead(int32_t& serialNumber) const
{
    if (!serialNumber_)
        return false;
    serialNumber = *serialNumber_;
    return true;
}

void TFormConfiguracao::ClearSerialNumber()
{
    serialNumber_.reset();
    EditNSerie->clear();
}

void TFormConfiguracao::BitBtn3Click()
{
    hide();
}

void TFormConfiguracao::ButtonAlterarCALClick()
{
    FormRegistrosCalibracao->exec();
}

void TFormConfiguracao::ButtonSetNSerieClick()
{
    FormAlteraNSerie->exec();
}

void TFormConfiguracao::Button1Click()
{
    FormAlteraEnd->exec();
}
