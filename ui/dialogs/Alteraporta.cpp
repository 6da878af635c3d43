#include "ui/dialogs/Alteraporta.h"

#include <QButtonGroup>
#include <QStyle>

#include "link/Wn2.h"
#include "ui/main/N2testeqvtmain.h"

TFormAlteraPorta* FormAlteraPorta = nullptr;

namespace {

// The items of the radio group, by index; compared as names, not as captions a style may decorate.
const QStringList PortNames{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                            QStringLiteral("COM4")};

}  // namespace

TFormAlteraPorta::TFormAlteraPorta(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    portas_ = new QButtonGroup(this);
    const QList<QRadioButton*> buttons{RadioButtonCom1, RadioButtonCom2, RadioButtonCom3, RadioButtonCom4};
    for (int index = 0; index < buttons.size(); ++index)
        portas_->addButton(buttons[index], index);
    BitBtnOK->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtnCancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    EnterPressesFocusedButton(this);
    BitBtnOK->setDefault(true);
    setEscapeCloses(true);
    move(290, 173);
    connect(BitBtnOK, &QPushButton::clicked, this, &TFormAlteraPorta::BitBtnOKClick);
    connect(BitBtnCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

int TFormAlteraPorta::RadioGroupPortaSerialIndex() const
{
    return portas_->checkedId();
}

void TFormAlteraPorta::SetRadioGroupPortaSerialIndex(int index)
{
    if (QAbstractButton* button = portas_->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group cannot be cleared by unchecking its button.
    portas_->setExclusive(false);
    for (QAbstractButton* each : portas_->buttons())
        each->setChecked(false);
    portas_->setExclusive(true);
}

void TFormAlteraPorta::FormShow()
{
    SetRadioGroupPortaSerialIndex(PortNames.indexOf(PortName));
}

void TFormAlteraPorta::BitBtnOKClick()
{
    const int index = RadioGroupPortaSerialIndex();
    if (index >= 0 && index < PortNames.size())
        PortName = PortNames[index];
    N2ClosePort();
    N2OpenPort(PortName, 9600, 8, 0, 0);
    FormMain->SetStatusText(0, QStringLiteral(" Port : ") + PortName);
    accept();
}
