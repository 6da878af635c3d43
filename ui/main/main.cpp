// QVT_N2: the main window and its ten dialogs, one message loop, until the main window closes.
#include "common/UiServices.h"
#include "ui/main/Startup.h"

#include <QApplication>
#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName("QVT_N2");
    try {
        return RunAllForms(app);
    } catch (const std::exception& error) {
        ShowMessageBox(QString::fromLocal8Bit(error.what()), "QVT_N2", BoxIcon::Critical);
        return 1;
    }
}
