// A second copy of the program for the port tests: starts up on COM1 (QVT_N2_COM1), reads
// address 1 for a given number of cycles and prints its status bar, panel 0's tooltip and beeps.
//   reliability_second_instance <cycles>

#include "common/UiServices.h"
#include "ui/main/N2testeqvtmain.h"
#include "ui/main/Startup.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 3;
    UiRecorder recorder;
    InstallUiRecorder(&recorder);
    CreateAllForms();

    // Runs in the loop's message processing at the start of every cycle.
    int started = 0;
    int lamp = -1;
    QTimer hook;
    QObject::connect(&hook, &QTimer::timeout, [&] {
        if (LampToggle != lamp && ++started > cycles)
            StopFlag = 1;
        lamp = LampToggle;
    });
    hook.start(0);
    FormMain->EditEnd->setText("1");
    FormMain->ButtonReadClick();

    std::printf("panel0=%s\ntooltip0=%s\npanel2=%s\npanel3=%s\nbeeps=%d\nboxes=%d\n",
                qPrintable(FormMain->StatusText(0)), qPrintable(FormMain->StatusPanel(0)->toolTip()),
                qPrintable(FormMain->StatusText(2)), qPrintable(FormMain->StatusText(3)), recorder.beeps(),
                recorder.boxes());
    InstallUiRecorder(nullptr);
    DestroyAllForms();
    return 0;
}
