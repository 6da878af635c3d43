#include "ui/dialogs/Calibracao.h"

#include "common/ConfigBlocks.h"
#include "common/ConversionError.h"
#include "common/Geral.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/MeterSteps.h"
#include "link/PollingPoints.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Registroscalibracao.h"
#include "ui/main/N2testeqvtmain.h"

TFormConfiguracao* FormConfiguracao = nullptr;

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
    const TypedAddress typed = ParseAddress(text);
    // A serial number kept from an earlier read would send calibration to that meter.
    if (typed.kind != TypedAddress::Integer) {
        ClearSerialNumber();
        ShowIntegerConversionError(text);
        return;
    }
    const int address = typed.value;
    if (!typed.InRange()) {
        ClearSerialNumber();
        Beep();
        ShowMessageBox("Device address must be between 1 and 255", "Error", BoxIcon::Critical);
        return;
    }
    ShowAddress(address);
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
    const StepOutcome identified = Identify(address);
    if (!identified.confirmed()) {
        Beep();
        ShowCommError(identified.code);
    }
    N2Status status{};
    if (!ReadStatus(address, status).confirmed())
        return false;
    serialNumber = status.serialNumber;
    ShowSerialNumber(serialNumber);
    FormMain->ShowSerialNumber(serialNumber);
    FormMain->ShowMeterStatus(status.errorCode);
    return true;
}

bool TFormConfiguracao::ReadCalibration(int32_t serialNumber)
{
    CalibrationBlock calibration;
    if (!::ReadCalibration(serialNumber, calibration).confirmed())
        return false;
    ShowCalibration(calibration);
    return true;
}

void TFormConfiguracao::ShowAddress(int address)
{
    EditEnd->setText(QString::number(address));
}

QLineEdit* TFormConfiguracao::MeasuredEdit(Quantity quantity, Phase phase) const
{
    struct Copy {
        Quantity quantity;
        Phase phase;
        QLineEdit* edit;
    };
    const Copy copies[] = {
        {Quantity::P, Phase::Total, EditP},  {Quantity::U, Phase::L1, EditU1},  {Quantity::U, Phase::L2, EditU2},
        {Quantity::U, Phase::L3, EditU3},    {Quantity::I, Phase::L1, EditI1},  {Quantity::I, Phase::L2, EditI2},
        {Quantity::I, Phase::L3, EditI3},    {Quantity::FP, Phase::L1, EditFP1}, {Quantity::FP, Phase::L2, EditFP2},
        {Quantity::FP, Phase::L3, EditFP3},
    };
    for (const Copy& copy : copies) {
        if (copy.quantity == quantity && copy.phase == phase)
            return copy.edit;
    }
    return nullptr;
}

void TFormConfiguracao::ShowCalibration(const CalibrationBlock& calibration)
{
    for (int which = 0; which < CalibrationBlock::ValueCount; ++which)
        CalibrationEdit(which)->setText(FormatGeneral(calibration.values[which]));
}

QLineEdit* TFormConfiguracao::CalibrationEdit(int which) const
{
    QLineEdit* const edits[CalibrationBlock::ValueCount] = {EditKU,         EditKI,         EditCalAtualU1,
                                                            EditCalAtualU2, EditCalAtualU3, EditCalAtualI1,
                                                            EditCalAtualI2, EditCalAtualI3};
    return edits[which];
}

void TFormConfiguracao::ClearCalibration()
{
    for (int which = 0; which < CalibrationBlock::ValueCount; ++which)
        CalibrationEdit(which)->clear();
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
