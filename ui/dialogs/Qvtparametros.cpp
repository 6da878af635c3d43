#include "ui/dialogs/Qvtparametros.h"

#include "common/Geral.h"
#include "common/UiServices.h"
#include "link/N2Decode.h"
#include "link/Wn2.h"
#include "ui/main/N2testeqvtmain.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

TFormSetParametros* FormSetParametros = nullptr;

namespace {

constexpr uint8_t ParameterBank = 2;
constexpr int ParameterBlockSize = 12;

void PutLittleEndian(uint32_t value, int width, uint8_t* out)
{
    for (int i = 0; i < width; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

void TFormSetParametros::BuildParameterBlock(const Values& values, uint8_t* block)
{
    PutLittleEndian(std::bit_cast<uint32_t>(values.tp), 4, block);
    PutLittleEndian(std::bit_cast<uint32_t>(values.tc), 4, block + 4);
    PutLittleEndian(static_cast<uint32_t>(values.ke), 2, block + 8);
    block[10] = static_cast<uint8_t>(values.tl);
    block[11] = static_cast<uint8_t>(values.ti);
}

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
    FormMain->EditEnd->setText(QString::number(values.address));
    uint8_t reply[256] = {};
    if (N2Identify(values.address, reply) == -1) {
        Beep();
        ShowCommError(-1);
        return;
    }
    SetHourglassCursor();
    int32_t serialNumber = 0;
    if (!ReadSerialNumber(values.address, remembered, serialNumber) || !WriteBlock(serialNumber, values, remembered))
        return;
    Beep();
    ShowMessageBox("Parameters changed.", "Message", BoxIcon::Information);
    ShowInMainWindow(values);
    RestoreCursor(remembered);
    accept();
}

bool TFormSetParametros::ReadValues(Values& values)
{
    return ReadAddress(values.address) && ReadRatio(EditTP, "TP", values.tp) && ReadRatio(EditTC, "TC", values.tc)
        && ReadWhole(EditKE, "KE", 65535, values.ke) && ReadWhole(EditTL, "TL", 255, values.tl)
        && ReadWhole(EditTI, "TI", 60, values.ti);
}

bool TFormSetParametros::ReadAddress(int& address)
{
    if (EditEnd->text().isEmpty()) {
        RefuseInput(EditEnd, "Type the device address.", "Warning", BoxIcon::Warning);
        return false;
    }
    if (!TextToInt(EditEnd->text(), address)) {
        RefuseInput(EditEnd, "Device address incorrect!", "Error", BoxIcon::Critical);
        return false;
    }
    // Only the low 8 bits would reach the line and another meter would take the block.
    if (address < 1 || address > 255) {
        RefuseInput(EditEnd, "Device address must be between 1 and 255", "Error", BoxIcon::Critical);
        return false;
    }
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
    uint8_t reply[256] = {};
    const int count = N2ReadStatus(address, reply);
    if (!N2DecodeSerialNumber(reply, count, serialNumber)) {
        Beep();
        RestoreCursor(remembered);
        ShowCommError(N2FailureCode(count, N2StatusReplyLength));
        return false;
    }
    ShowValue(FormMain->EditNSerie, QString::number(serialNumber));
    return true;
}

bool TFormSetParametros::WriteBlock(int32_t serialNumber, const Values& values, CursorState remembered)
{
    uint8_t block[ParameterBlockSize];
    BuildParameterBlock(values, block);
    const auto serial = static_cast<uint32_t>(serialNumber);
    CfgWriteBlock(serial, ParameterBank, 0, ParameterBlockSize, block);
    Pause(ConfigWriteDelay);
    uint8_t reply[256] = {};
    const int count = CfgReadBlock(serial, ParameterBank, 0, ParameterBlockSize, reply);
    // Any reply is not proof: only the block itself, read back, confirms the write.
    if (count > ParameterBlockSize && std::memcmp(reply + 1, block, ParameterBlockSize) == 0)
        return true;
    RestoreCursor(remembered);
    if (count < 0) {
        ShowCommError(count);
        return false;
    }
    Beep();
    ShowMessageBox("The device did not confirm the parameters. Check the connection and try again.", "Error",
                   BoxIcon::Critical);
    return false;
}

void TFormSetParametros::ShowInMainWindow(const Values& values)
{
    if (FormMain->EditU->text().isEmpty())
        return;
    ShowValue(FormMain->EditTP, FormatFixed(values.tp, 4));
    ShowValue(FormMain->EditTC, FormatFixed(values.tc, 4));
    ShowValue(FormMain->EditKE, QString::number(values.ke));
    ShowValue(FormMain->EditTL, QString::number(values.tl));
    ShowValue(FormMain->EditTI, QString::number(values.ti));
}
