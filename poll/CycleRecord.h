#pragma once
// What one polling cycle read, field by field, as the poller writes it: a field the cycle did
// not read stays empty, and a failed request is kept with its code.

#include "link/PollingCycle.h"

#include <QDateTime>

#include <array>
#include <csignal>
#include <optional>

struct CycleRecord {
    struct Failure {
        CycleRequest request;
        const MeterPoint* point;   // the point whose read failed, for CycleRequest::Point
        int code;                  // the link result, as the window reports it
    };

    QDateTime time;   // when the cycle began
    int address = 0;
    std::optional<N2Status> status;
    std::optional<ParameterBlock> parameters;
    std::array<std::optional<float>, PollingPoints.size()> points;
    std::optional<uint16_t> starts;
    // The request that ended the cycle, or else a failed point read the cycle went on after.
    std::optional<Failure> failure;

    // Every request sent, or the cycle ended by a failure: not cut short by a stop.
    bool Finished() const;
    bool Succeeded() const { return starts.has_value(); }
    int FailedRequests() const { return failedRequests_; }

private:
    friend class CycleRecorder;
    int failedRequests_ = 0;
};

// Fills a record from one cycle; stops the cycle at the next request once stop is set.
class CycleRecorder : public CycleReader {
public:
    CycleRecorder(CycleRecord& record, const volatile std::sig_atomic_t& stop) : record_(record), stop_(stop) {}

    void StatusRead(const N2Status& status) override { record_.status = status; }
    void ParametersRead(const ParameterBlock& parameters) override { record_.parameters = parameters; }
    void PointRead(const MeterPoint& point, float value) override;
    void StartsRead(uint16_t starts) override { record_.starts = starts; }
    void RequestFailed(CycleRequest request, const MeterPoint* point, const StepOutcome& outcome) override;
    bool Stopping() const override { return stop_ != 0; }

private:
    CycleRecord& record_;
    const volatile std::sig_atomic_t& stop_;
};

// One cycle at the address, begun now.
CycleRecord ReadCycle(int address, const volatile std::sig_atomic_t& stop);
