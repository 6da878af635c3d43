#pragma once
// The program's forms, created once per test program, with boxes and beeps recorded and a
// fixed en_US locale. Each test connects the link to the line it needs.

#include "common/UiServices.h"
#include "link/FakeLine.h"

#include <QLocale>
#include <QString>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.left(40).toStdString() << (text.size() > 40 ? "...\"" : "\"");
}

class FormsTest {
protected:
    // Creates the forms on first use; the main window's start-up open goes to a dead line.
    static void CreateForms();
    void Begin();
    void End();
    // Opens COM1 on a FakeLine and forgets the open in its log.
    static void ConnectFake(FakeLine& line);
    // Opens the device at path with the real serial line; fast config waits.
    static bool ConnectDevice(const QString& path);
    static void Disconnect();

    UiRecorder ui;

private:
    QLocale previousLocale_;
};
