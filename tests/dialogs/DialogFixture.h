#pragma once
// The forms of the program on a scripted line whose frames are answered by simulated meters,
// with boxes recorded instead of shown and the link's waits cut to a millisecond.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/UiServices.h"
#include "link/FakeLine.h"
#include "sim/MeterCore.h"

using Frame = std::vector<uint8_t>;

// The parts of a frame the tests look at.
bool IsConfigFrame(const Frame& frame);
int FrameAddress(const Frame& frame);         // N2 frames only
std::string FrameCommand(const Frame& frame);  // "F", "09", "24", ...
int FrameField(const Frame& frame, int index); // hex pair after the command, 0 based

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A meter on the line; frozen, so its registers only change when told to.
    // The copy shares the meter's state.
    sim::MeterCore AddMeter(int address, uint32_t serialNumber);
    std::vector<Frame> Frames() const;
    int CountEvents(FakeLine::Event event) const;

    static FakeLine* line;
    std::vector<sim::MeterCore> meters;
    UiRecorder recorder;
    // Return false to keep a frame from the meters (a meter that ignores it).
    std::function<bool(const Frame& frame, int index)> deliver;
    // Alters the meters' answer to the frame with the given index (0 = first frame of the test).
    std::function<void(const Frame& frame, int index, std::vector<uint8_t>& reply)> tamper;

private:
    FakeLine::Reply Answer(const Frame& frame);
    int frameIndex_ = 0;
};
