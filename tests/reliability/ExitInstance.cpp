// A copy of the program for the exit tests: the program's own run (RunAllForms) on COM1
// (QVT_N2_COM1), reading address 1. Once the given number of cycles is done it prints "reading"
// and ends the way it is told; "signal" leaves that to the test, which sends one, and "dialog"
// opens the port dialog over the reading and leaves the rest to the test's signal too. At the
// end it prints the error count of the status bar and the beeps.
//   reliability_exit_instance close-button|title-bar|signal|dialog <cycles>

#include "common/UiServices.h"
#include "ui/main/N2testeqvtmain.h"
#include "ui/main/Startup.h"

#include <QApplication>
#include <QToolButton>
#include <QCloseEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

void EndTheWay(const QString& way)
{
    if (way == "close-button") {
        FormMain->ButtonClose->click();
    } else if (way == "title-bar") {
        // What the window manager delivers when the title bar's close box is pressed.
        QCloseEvent close;
        QCoreApplication::sendEvent(FormMain->windowHandle(), &close);
    } else if (way == "dialog") {
        FormMain->BitBtn1->click();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString way = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("close-button");
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 2;
    UiRecorder recorder;
    InstallUiRecorder(&recorder);

    // Runs in the loop's message processing; a new lamp state is a new cycle.
    int started = 0;
    int lamp = -1;
    QString errorPanel;
    QTimer hook;
    QObject::connect(&hook, &QTimer::timeout, [&] {
        errorPanel = FormMain->StatusText(3);
        if (LampToggle == lamp)
            return;
        lamp = LampToggle;
        if (++started != cycles + 1)
            return;
        std::puts("reading");
        std::fflush(stdout);
        EndTheWay(way);
    });
    QTimer::singleShot(0, [&] {
        hook.start(0);
        FormMain->EditEnd->setText("1");
        FormMain->ButtonReadClick();
    });
    const int result = RunAllForms(app);

    std::printf("panel3=%s\nbeeps=%d\n", qPrintable(errorPanel), recorder.beeps());
    InstallUiRecorder(nullptr);
    return result;
}
