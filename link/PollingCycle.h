#pragma once
// One cycle of the polling loop, the same for every front end: identify, status, the
// parameter block, the measurement points, the start counter. What it reads goes to a reader
// as it arrives; the reader shows it (the window) or records it.

#include "link/MeterSteps.h"
#include "link/PollingPoints.h"

#include <cstdint>

enum class CycleRequest { Identify, Status, Parameters, Point, Starts };

class CycleReader {
public:
    virtual ~CycleReader() = default;
    virtual void StatusRead(const N2Status& status) = 0;
    virtual void ParametersRead(const ParameterBlock& parameters) = 0;
    virtual void PointRead(const MeterPoint& point, float value) = 0;
    virtual void StartsRead(uint16_t starts) = 0;
    // point: the point whose read failed, for CycleRequest::Point only.
    virtual void RequestFailed(CycleRequest request, const MeterPoint* point, const StepOutcome& outcome) = 0;
    // Asked before every request after the first: true ends the cycle there, unfinished. The
    // window stops only between cycles; a program ended by a signal stops sooner.
    virtual bool Stopping() const { return false; }
};

// The config reads go to the serial number of this cycle's status reply. The first failed
// request ends the cycle, except a point whose failure lets it go on.
void RunPollingCycle(int address, CycleReader& reader);
