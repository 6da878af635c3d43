#pragma once
// Creates the eleven forms of the program once, in start-up order, and destroys them at the end.
// The program's entry point and the form tests both use these.

#include <QString>

class QApplication;

// The main window starts on startPort (the command line's, else COM1).
void CreateAllForms(const QString& startPort = QStringLiteral("COM1"));
void DestroyAllForms();
// Creates the forms, shows the main window and runs the message loop until the main window
// closes; destroys the forms and returns the loop's result. However the run ends (the close
// button, the title bar, SIGTERM, SIGINT, SIGHUP), the port is closed through the link on the
// way out, so the next program finds it free.
int RunAllForms(QApplication& app, const QString& startPort = QStringLiteral("COM1"));
