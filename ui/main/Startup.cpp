#include "ui/main/Startup.h"

#include "ui/dialogs/Alteradelta.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Alteraporta.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Descobrirend.h"
#include "ui/dialogs/Qvtparametros.h"
#include "ui/dialogs/Registroscalibracao.h"
#include "ui/dialogs/Sobre.h"
#include "ui/dialogs/Zerar.h"
#include "link/Wn2.h"
#include "ui/main/ExitSignals.h"
#include "ui/main/N2testeqvtmain.h"

#include <QApplication>
#include <QTimer>

// The main window first: its construction opens the port the dialogs then share.
void CreateAllForms(const QString& startPort)
{
    FormMain = new TFormMain(startPort);
    FormAlteraEnd = new TFormAlteraEnd;
    FormAlteraNSerie = new TFormAlteraNSerie;
    FormAlteraDelta = new TFormAlteraDelta;
    FormAlteraPorta = new TFormAlteraPorta;
    FormDescobrirEnd = new TFormDescobrirEnd;
    FormSobreBrelt = new TFormSobreBrelt;
    FormSetParametros = new TFormSetParametros;
    FormConfiguracao = new TFormConfiguracao;
    FormRegistrosCalibracao = new TFormRegistrosCalibracao;
    FormResetEnergy = new TFormResetEnergy;
}

template <typename Form>
void Destroy(Form*& form)
{
    delete form;
    form = nullptr;
}

// Dialogs go first, in reverse order, so none outlives the main window it reads.
void DestroyAllForms()
{
    Destroy(FormResetEnergy);
    Destroy(FormRegistrosCalibracao);
    Destroy(FormConfiguracao);
    Destroy(FormSetParametros);
    Destroy(FormSobreBrelt);
    Destroy(FormDescobrirEnd);
    Destroy(FormAlteraPorta);
    Destroy(FormAlteraDelta);
    Destroy(FormAlteraNSerie);
    Destroy(FormAlteraEnd);
    Destroy(FormMain);
}

namespace {

// Closes the port when the run leaves its scope, an exception included.
struct PortClosedAtEnd {
    ~PortClosedAtEnd() { N2ClosePort(); }
};

// A signal ends the run as "&Close" does, once every box or dialog that would wait for a
// person who is no longer there is closed; the polling loop and the scan end on the stop flag.
void EndRunOnSignal()
{
    StopFlag = 2;
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
        QTimer::singleShot(0, FormMain, EndRunOnSignal);
        return;
    }
    FormMain->ButtonCloseClick();
}

}  // namespace

int RunAllForms(QApplication& app, const QString& startPort)
{
    ExitSignals exitSignals;
    const PortClosedAtEnd portClosedAtEnd;
    CreateAllForms(startPort);
    QObject::connect(&exitSignals, &ExitSignals::received, FormMain, EndRunOnSignal);
    // The program ends with its main window, even while the configuration view stays open.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(FormMain, &TFormMain::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
    FormMain->show();
    const int result = app.exec();
    DestroyAllForms();
    return result;
}
