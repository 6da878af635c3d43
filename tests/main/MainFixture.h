#pragma once
// The real main window and its dialogs, offscreen, on a FakeLine answered by a simulated meter
// core. A test may spoil any reply and stop the loop after a number of cycles.

#include "common/UiServices.h"
#include "link/FakeLine.h"
#include "sim/MeterCore.h"
#include "ui/main/N2testeqvtmain.h"

#include <QLineEdit>
#include <QString>
#include <functional>
#include <ostream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// "I" identify, "S" status, "B" parameter bank read, "P<object>" point read, "N" information
// read; "?" for anything else.
std::string FrameKind(const Bytes& frame);
// The 37 kinds of one complete cycle, in the order the loop must send them.
std::vector<std::string> CycleKinds();

class MainFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Types the address and presses "&Read"; returns when the loop has ended.
    void Read(const QString& address = "1");
    // The loop ends after this many cycles have started (each one runs to its end).
    void StopAfterCycles(int cycles) { stopAfter_ = cycles; }
    std::vector<std::string> Kinds() const;
    QLineEdit* Edit(const char* name) const;
    QString Text(const char* name) const;

    UiRecorder ui;
    FakeLine line;
    sim::MeterCore meter;
    // Called with every frame and the meter's reply before it goes on the line.
    std::function<void(const Bytes& frame, Bytes& reply)> spoil;
    // Called with every frame before it is answered.
    std::function<void(const Bytes& frame)> onFrame;

private:
    FakeLine::Reply Answer(const Bytes& frame);
    SerialLine* previousLine_ = nullptr;
    double clockMs_ = 0;
    int cyclesStarted_ = 0;
    int stopAfter_ = 1;
};
