// QVT_N2: the main window and its ten dialogs, one message loop, until the main window closes.
#include "common/UiServices.h"
#include "ui/icon/AppIcon.h"
#include "ui/main/CommandLine.h"
#include "ui/main/Startup.h"

#include <QApplication>

#include <cstdio>
#include <exception>

namespace {

QStringList Arguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    // Before the application object, which needs a display.
    const CommandLine command = ReadCommandLine(Arguments(argc, argv));
    std::fputs(command.output.toLocal8Bit().constData(), stdout);
    std::fputs(command.error.toLocal8Bit().constData(), stderr);
    if (command.exitStatus)
        return *command.exitStatus;

    QApplication app(argc, argv);
    // The window class (from the application name) and the desktop entry's name are how a
    // desktop matches the window to its menu entry and icon.
    app.setApplicationName("qvt_n2");
    app.setDesktopFileName("qvt-n2");
    app.setWindowIcon(AppIcon());
    try {
        return RunAllForms(app, command.startPort);
    } catch (const std::exception& error) {
        ShowMessageBox(QString::fromLocal8Bit(error.what()), "QVT_N2", BoxIcon::Critical);
        return 1;
    }
}
