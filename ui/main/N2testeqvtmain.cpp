#include "ui/main/N2testeqvtmain.h"

#include "common/UiServices.h"
#include "link/PortState.h"
#include "link/Wn2.h"
#include "ui/FormSupport.h"
#include "ui/dialogs/Alteradelta.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Alteraporta.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Descobrirend.h"
#include "ui/dialogs/Qvtparametros.h"
#include "ui/dialogs/Sobre.h"
#include "ui/dialogs/Zerar.h"

#include <QCloseEvent>
#include <QLabel>
#include <QShowEvent>

#include <cstdio>

QString PortName;
int StopFlag = 0;
uint8_t LampToggle = 0;
TFormMain* FormMain = nullptr;

// The artwork lives in the static form library, whose resources are not registered by themselves.
static void LoadArtwork()
{
    Q_INIT_RESOURCE(main);
}

namespace {

constexpr int PanelWidths[3] = {70, 135, 210};   // the last panel, 220, fills the rest
const char* const PanelTexts[4] = {" Port : COM1", " Configuration : 9600, 8N1", " Status :", " Error Communication : 0"};

}  // namespace

TFormMain::TFormMain(const QString& startPort, QWidget* parent)
    : QMainWindow(parent)
{
    LoadArtwork();
    setupUi(this);
    EnterPressesFocusedButton(this);
    CreateStatusPanels();
    ConnectHandlers();
    // Every open and every change of the port shows in panel 0; a failure also goes to
    // standard error, since no box tells of it.
    N2WatchPort([this](const N2PortStatus& status) {
        if (!status.open)
            std::fprintf(stderr, "%s\n", qPrintable(status.sentence));
        ShowPortState();
    });
    PortName = startPort;
    N2OpenPort(PortName, 9600);
    FormCreate();
}

TFormMain::~TFormMain()
{
    N2WatchPort(nullptr);
}

void TFormMain::CreateStatusPanels()
{
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(QString::fromLatin1(PanelTexts[i]), StatusBar1);
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The last panel takes what the others leave, so a wider system font clips no text,
        // and it alone gives way when panel 0 grows to say why the port is not open.
        if (i < 3) {
            panels_[i]->setMinimumWidth(PanelWidths[i]);
            panels_[i]->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
        } else {
            panels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
        StatusBar1->addWidget(panels_[i], i == 3 ? 1 : 0);
    }
}

void TFormMain::ConnectHandlers()
{
    connect(ButtonRead, &QPushButton::clicked, this, &TFormMain::ButtonReadClick);
    connect(ButtonStop, &QPushButton::clicked, this, &TFormMain::ButtonStopClick);
    connect(ButtonClose, &QPushButton::clicked, this, &TFormMain::ButtonCloseClick);
    connect(ButtonAlteraAddress, &QPushButton::clicked, this, &TFormMain::ButtonAlteraAddressClick);
    connect(ButtonFindAddress, &QPushButton::clicked, this, &TFormMain::ButtonFindAddressClick);
    connect(BitBtn1, &QToolButton::clicked, this, &TFormMain::BitBtn1Click);
    connect(SetParameter, &QPushButton::clicked, this, &TFormMain::SetParameterClick);
    connect(ButtonResetCounter, &QPushButton::clicked, this, &TFormMain::ButtonResetCounterClick);
    connect(ButtonAbout, &QPushButton::clicked, this, &TFormMain::ButtonAboutClick);
    connect(ButtonConfiguration, &QPushButton::clicked, this, &TFormMain::ButtonConfigurationClick);
    connect(ButtonSetSerialNumber, &QPushButton::clicked, this, &TFormMain::ButtonSetSerialNumberClick);
    connect(EditEnd, &QLineEdit::textChanged, this, &TFormMain::EditEndChange);
    connect(EditNSerie, &QLineEdit::textChanged, this, &TFormMain::EditNSerieChange);
}

void TFormMain::FormCreate()
{
    // Fixed border, minimise but no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(637, 490);
    CentreOnScreen(this);
}

void TFormMain::FormShow()
{
    EditEnd->setFocus();
    ButtonSetSerialNumber->hide();
    ButtonSetSerialNumber->setEnabled(false);
    ButtonConfiguration->hide();
    ButtonConfiguration->setEnabled(false);
    LabelStarts->hide();
    EditPartidas->hide();
}

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A window restored from the task bar is not shown anew.
    if (!event->spontaneous())
        FormShow();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (reading_) {
        // The loop must not outlive the window: let it end, then close from there.
        StopFlag = 2;
        closePending_ = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    emit Closed();
}

QLabel* TFormMain::StatusPanel(int index) const
{
    return panels_[index];
}

void TFormMain::SetStatusText(int index, const QString& text)
{
    panels_[index]->setText(text);
}

QString TFormMain::StatusText(int index) const
{
    return panels_[index]->text();
}

bool TFormMain::AddressTyped(const QString& title)
{
    if (!EditEnd->text().isEmpty())
        return true;
    RefuseInput(EditEnd, "Type the device address.", title, BoxIcon::Warning);
    return false;
}

void TFormMain::ButtonStopClick()
{
    StopFlag = 1;
}

void TFormMain::ButtonCloseClick()
{
    StopFlag = 2;
    close();
}

void TFormMain::ButtonAlteraAddressClick()
{
    StopFlag = 1;
    FormAlteraEnd->EditEndAtual->setText(EditEnd->text());
    FormAlteraEnd->exec();
}

void TFormMain::ButtonFindAddressClick()
{
    FormDescobrirEnd->exec();
}

void TFormMain::BitBtn1Click()
{
    FormAlteraPorta->exec();
}

void TFormMain::SetParameterClick()
{
    FormSetParametros->exec();
}

void TFormMain::ButtonResetCounterClick()
{
    if (AddressTyped("Message"))
        FormResetEnergy->exec();
}

void TFormMain::ButtonAboutClick()
{
    FormSobreBrelt->exec();
}

void TFormMain::ButtonConfigurationClick()
{
    if (AddressTyped("Warning"))
        FormConfiguracao->show();
}

void TFormMain::ButtonSetSerialNumberClick()
{
    FormAlteraNSerie->exec();
}

void TFormMain::ButtonAltDeltaClick()
{
    FormAlteraDelta->exec();
}

void TFormMain::EditEndChange() {}

void TFormMain::EditNSerieChange() {}
