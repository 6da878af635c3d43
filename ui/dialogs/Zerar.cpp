#include "ui/dialogs/Zerar.h"

#include "common/Geral.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/MeterSteps.h"
#include "link/Wn2.h"
#include "ui/main/N2testeqvtmain.h"

#include <array>

TFormResetEnergy* FormResetEnergy = nullptr;

namespace {

constexpr int ResetAttribute = 1;
constexpr int ResetValue = 2;

// The registers in the order the meter is sent their resets, with their object numbers.
struct RegisterRow {
    QCheckBox* Ui::TFormResetEnergy::*box;
    int object;
};

constexpr RegisterRow RegisterRows[] = {
    {&Ui::TFormResetEnergy::CheckBoxEAPos, 0}, {&Ui::TFormResetEnergy::CheckBoxEANeg, 2},
    {&Ui::TFormResetEnergy::CheckBoxERPos, 1}, {&Ui::TFormResetEnergy::CheckBoxERNeg, 3},
    {&Ui::TFormResetEnergy::CheckBoxMDS, 6},   {&Ui::TFormResetEnergy::CheckBoxDS, 7},
    {&Ui::TFormResetEnergy::CheckBoxMDA, 4},   {&Ui::TFormResetEnergy::CheckBoxDA, 5},
};

}  // namespace

TFormResetEnergy::TFormResetEnergy(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    EnterPressesFocusedButton(this);
    connect(Reset, &QPushButton::clicked, this, &TFormResetEnergy::ResetClick);
    connect(ButtonClose, &QPushButton::clicked, this, &TFormResetEnergy::ButtonCloseClick);
    CentreOnScreen(this);
}

void TFormResetEnergy::FormShow()
{
    for (const RegisterRow& row : RegisterRows)
        (this->*row.box)->setChecked(false);
}

void TFormResetEnergy::ButtonCloseClick()
{
    reject();
}

void TFormResetEnergy::ResetClick()
{
    if (!AnyTicked()) {
        Beep();
        ShowMessageBox(QStringLiteral("Choose a register."), QStringLiteral("Warning"), BoxIcon::Warning);
        return;
    }
    int address = 0;
    if (!ReadAddress(address))
        return;
    const CursorState remembered = CurrentCursor();
    SetHourglassCursor();
    if (!SendResets(address)) {
        RestoreCursor(remembered);
        Beep();
        ShowCommError(-1);
        return;
    }
    Beep();
    ShowMessageBox(QStringLiteral("Energy register(s) restarted."), QStringLiteral("Message"),
                   BoxIcon::Information);
    RestoreCursor(remembered);
    accept();
}

bool TFormResetEnergy::AnyTicked() const
{
    for (const RegisterRow& row : RegisterRows) {
        if ((this->*row.box)->isChecked())
            return true;
    }
    return false;
}

bool TFormResetEnergy::ReadAddress(int& address)
{
    // An empty text is not a number here: the main window has already asked for one.
    const TypedAddress typed = ParseAddress(FormMain->EditEnd->text());
    if (typed.kind != TypedAddress::Integer) {
        RefuseAddress(QStringLiteral("Device address incorrect"));
        return false;
    }
    if (!typed.InRange()) {
        RefuseAddress(QStringLiteral("Device address must be between 1 and 255"));
        return false;
    }
    address = typed.value;
    return true;
}

// The address belongs to the main window, so the technician is sent back there to fix it.
void TFormResetEnergy::RefuseAddress(const QString& text)
{
    Beep();
    ShowMessageBox(text, QStringLiteral("Error"), BoxIcon::Critical);
    reject();
    FormMain->EditEnd->setFocus();
}

// Stops at the first request that gets no answer; the resets already sent stay done.
bool TFormResetEnergy::SendResets(int address)
{
    if (!Identify(address).confirmed())
        return false;
    std::array<uint8_t, N2WriteReplyLength> reply{};
    for (const RegisterRow& row : RegisterRows) {
        if ((this->*row.box)->isChecked() && N2WriteCommand(address, row.object, ResetAttribute, ResetValue, reply) == -1)
            return false;
    }
    return true;
}
