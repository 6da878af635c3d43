#pragma once
// Creates the eleven forms of the program once, in start-up order, and destroys them at the end.
// The program's entry point and the form tests both use these.

class QApplication;

void CreateAllForms();
void DestroyAllForms();
// Creates the forms, shows the main window and runs the message loop until the main window
// closes; destroys the forms and returns the loop's result.
int RunAllForms(QApplication& app);
