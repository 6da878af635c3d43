#pragma once
// Shared ground of the configuration dialog tests: the program's forms, a recorder for boxes
// and beeps, short waits, and a simulated meter on a pty or behind a scripted line.

#include "common/UiServices.h"
#include "link/FakeLine.h"
#include "link/Wn2.h"
#include "sim/MeterCore.h"
#include "sim/PtyMeter.h"
#include "tests/support/MeterTakesConfigWrites.h"

#include <QLocale>
#include <QString>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

constexpr uint32_t MeterSerial = 1234567;

// Address 1, serial MeterSerial, steady readings.
sim::MeterSettings QuietMeter(bool jumperInstalled);

// Closes the port and puts the real line back.
void DisconnectLine();

// A meter core answering through a FakeLine in virtual time, for the faults a real meter on
// the pty cannot be asked to make.
class ScriptedMeter {
public:
    explicit ScriptedMeter(const sim::MeterSettings& settings);
    ~ScriptedMeter();   // takes the line out of the link first
    // Frames for which this returns true never reach the meter.
    std::function<bool(const Bytes& frame)> ignore;
    // May change a reply before the program receives it.
    std::function<void(const Bytes& frame, Bytes& reply)> alter;
    FakeLine line;
    sim::MeterCore core;

private:
    double nowMs_ = 0;
};

class SetupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Config writes wait until the meter has taken them, in place of the cut ConfigWriteDelay.
    void Connect(sim::PtyMeter& meter);
    void Connect(ScriptedMeter& meter);
    void ExpectLastBox(const QString& text, const QString& title, BoxIcon icon) const;

    UiRecorder ui;

private:
    QLocale previousLocale_;
    std::unique_ptr<MeterTakesConfigWrites> configWritesTaken_;
};

Bytes Slice(const uint8_t* bytes, int start, int count);
// The frames of a config request of the given operation ('W', '2' ...) among frames.
int CountFrames(const std::vector<Bytes>& frames, char kind, char operation);
