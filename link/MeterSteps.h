#pragma once
// The meter steps that the polling loop and the forms share: one request, or one write with
// its wait and read-back, with the reply rules in one place. Plain functions over the link: no
// widgets, no boxes, no cursor. Each caller keeps its own pauses between steps and shows an
// outcome its own way.

#include "common/ConfigBlocks.h"
#include "link/N2Decode.h"

#include <cstdint>

struct MeterPoint;

struct StepOutcome {
    enum Kind {
        Confirmed,      // the reply arrived whole and clean, or the write was read back unchanged
        NoAnswer,       // nothing arrived: code -1
        ShortReply,     // fewer characters than the reply needs: code is their count
        GarbledReply,   // the right length, fields not clean hex: code -2
        SendFailed,     // the frame did not leave the port: code -1
        NotConfirmed,   // the read-back arrived but differs from what was written, or is short
    };
    Kind kind = Confirmed;
    int code = 0;   // the link result as a caller reports it; 0 for Confirmed and NotConfirmed

    bool confirmed() const { return kind == Confirmed; }
};

// Identify: any answer at all is one.
StepOutcome Identify(int address);
// The status reply: serial number and the meter's status code.
StepOutcome ReadStatus(int address, N2Status& status);
// The status reply when only its serial number matters (a garbled status code does not).
StepOutcome ReadSerialNumber(int address, int32_t& serialNumber);
StepOutcome ReadPoint(int address, const MeterPoint& point, float& value);
StepOutcome ReadParameters(int32_t serialNumber, ParameterBlock& parameters);
StepOutcome ReadCalibration(int32_t serialNumber, CalibrationBlock& calibration);
StepOutcome ReadStarts(int32_t serialNumber, uint16_t& starts);

// The meter never answers a config write, so each of these writes, waits ConfigWriteDelay,
// reads back what it wrote and compares. A send that fails ends the step before the wait.
StepOutcome WriteParameters(int32_t serialNumber, const ParameterBlock& parameters);
StepOutcome WriteCalibration(int32_t serialNumber, const CalibrationBlock& calibration);
StepOutcome WriteSerialNumber(int32_t newSerialNumber);
// Read back at the new address: the meter that answers there must carry the same serial number.
StepOutcome WriteAddress(int32_t serialNumber, int newAddress);
