#include "link/PollingCycle.h"

namespace {

// True when the request went well; else the reader hears of its failure.
bool Passed(CycleReader& reader, CycleRequest request, const StepOutcome& outcome, const MeterPoint* point = nullptr)
{
    if (outcome.confirmed())
        return true;
    reader.RequestFailed(request, point, outcome);
    return false;
}

bool ReadPoints(int address, CycleReader& reader)
{
    for (const MeterPoint& point : PollingPoints) {
        if (reader.Stopping())
            return false;
        float value = 0;
        if (Passed(reader, CycleRequest::Point, ReadPoint(address, point, value), &point))
            reader.PointRead(point, value);
        else if (point.failureEndsCycle)
            return false;
    }
    return true;
}

}  // namespace

void RunPollingCycle(int address, CycleReader& reader)
{
    N2Status status{};
    if (!Passed(reader, CycleRequest::Identify, Identify(address)) || reader.Stopping()
        || !Passed(reader, CycleRequest::Status, ReadStatus(address, status)))
        return;
    reader.StatusRead(status);
    ParameterBlock parameters;
    if (reader.Stopping() || !Passed(reader, CycleRequest::Parameters, ReadParameters(status.serialNumber, parameters)))
        return;
    reader.ParametersRead(parameters);
    if (!ReadPoints(address, reader) || reader.Stopping())
        return;
    uint16_t starts = 0;
    if (Passed(reader, CycleRequest::Starts, ReadStarts(status.serialNumber, starts)))
        reader.StartsRead(starts);
}
