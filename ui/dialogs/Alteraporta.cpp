#include "ui/dialogs/Alteraporta.h"

#include <QButtonGroup>
#include <QStyle>

#include "link/PortMap.h"
#include "link/Wn2.h"
#include "ui/main/N2testeqvtmain.h"

TFormAlteraPorta* FormAlteraPorta = nullptr;

namespace {

// The items of the radio group, by index; compared as names, not as captions a style may decorate.
const QStringList PortNames{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                            QStringLiteral("COM4")};

// The device the port name reaches now, whether it is there, and what the system says it is.
QString DeviceHint(const QString& portName, const QList<SerialPortFacts>& ports)
{
    const PortDevice device = N2DescribeDevice(N2DevicePath(portName), ports);
    if (device.realPath.isEmpty())
        return device.path + QStringLiteral(" - not found");
    QStringList about;
    if (!device.facts.description.isEmpty())
        about.append(device.facts.description);
    if (!device.facts.manufacturer.isEmpty())
        about.append('(' + device.facts.manufacturer + ')');
    return about.isEmpty() ? device.path : device.path + QStringLiteral(" - ") + about.join(' ');
}

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
    const QList<SerialPortFacts> ports = N2PortSources().ports();
    for (int index = 0; index < PortNames.size(); ++index)
        portas_->button(index)->setToolTip(DeviceHint(PortNames[index], ports));
}

void TFormAlteraPorta::BitBtnOKClick()
{
    const int index = RadioGroupPortaSerialIndex();
    if (index >= 0 && index < PortNames.size())
        PortName = PortNames[index];
    N2ClosePort();
    // Panel 0 of the main window follows the open by itself.
    N2OpenPort(PortName, 9600, 8, 0, 0);
    accept();
}
