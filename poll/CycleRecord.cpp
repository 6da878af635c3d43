#include "poll/CycleRecord.h"

#include <algorithm>

namespace {

// By object: each translation unit may hold its own copy of the point list.
size_t PointIndex(const MeterPoint& point)
{
    const auto found = std::find_if(PollingPoints.begin(), PollingPoints.end(),
                                    [&point](const MeterPoint& p) { return p.object == point.object; });
    return static_cast<size_t>(found - PollingPoints.begin());
}

bool EndsCycle(const CycleRecord::Failure& failure)
{
    return !failure.point || failure.point->failureEndsCycle;
}

}  // namespace

bool CycleRecord::Finished() const
{
    return Succeeded() || (failure && EndsCycle(*failure));
}

void CycleRecorder::PointRead(const MeterPoint& point, float value)
{
    record_.points[PointIndex(point)] = value;
}

void CycleRecorder::RequestFailed(CycleRequest request, const MeterPoint* point, const StepOutcome& outcome)
{
    ++record_.failedRequests_;
    record_.failure = CycleRecord::Failure{request, point, outcome.code};
}

CycleRecord ReadCycle(int address, const volatile std::sig_atomic_t& stop)
{
    CycleRecord record;
    record.time = QDateTime::currentDateTime();
    record.address = address;
    CycleRecorder recorder(record, stop);
    RunPollingCycle(address, recorder);
    return record;
}
