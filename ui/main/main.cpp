// QVT_N2: the main window and its ten dialogs, one message loop, until the main window closes.
#include "common/UiServices.h"
#include "ui/icon/AppIcon.h"
#include "ui/main/Startup.h"

#include <QApplication>
#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The window class (from the application name) and the desktop entry's name are how a
    // desktop matches the window to its menu entry and icon.
    app.setApplicationName("qvt_n2");
    app.setDesktopFileName("qvt-n2");
    app.setWindowIcon(AppIcon());
    try {
        return RunAllForms(app);
    } catch (const std::exception& error) {
        ShowMessageBox(QString::fromLocal8Bit(error.what()), "QVT_N2", BoxIcon::Critical);
        return 1;
    }
}
