#include "bench/Bench.h"

#include "common/UiServices.h"
#include "ui/main/N2testeqvtmain.h"

#include <QTimer>

namespace bench {

namespace {

// Fires in the loop's message processing at the start of every cycle: notes the time each
// time the lamp has moved on, and asks for a stop once enough cycles are in.
class CycleHook {
public:
    explicit CycleHook(int marks) : marks_(marks)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    const std::vector<Clocks>& marks() const { return seen_; }

private:
    void tick()
    {
        if (!seen_.empty() && LampToggle == lamp_)
            return;
        lamp_ = LampToggle;
        seen_.push_back(Now());
        if (static_cast<int>(seen_.size()) >= marks_)
            StopFlag = 1;
    }
    QTimer timer_;
    int marks_;
    int lamp_ = -1;
    std::vector<Clocks> seen_;
};

// Requests and replies of the last complete cycle: from the second-last identify request
// (a 7-character N2 frame ending "F", checksum, CR) to the last.
void CountLastCycle(const std::vector<sim::Exchange>& exchanges, PollingResult& result)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < exchanges.size(); ++i) {
        const auto& r = exchanges[i].request;
        if (r.size() == 7 && r[0] == '>' && r[3] == 'F')
            starts.push_back(i);
    }
    if (starts.size() < 2)
        return;
    const size_t from = starts[starts.size() - 2];
    const size_t to = starts.back();
    result.requestsPerCycle = static_cast<int>(to - from);
    for (size_t i = from; i < to; ++i)
        result.characters += static_cast<int>(exchanges[i].request.size() + exchanges[i].reply.size());
}

}  // namespace

PollingResult RunPolling(sim::PtyMeter& meter, int cycles)
{
    UiRecorder recorder;
    InstallUiRecorder(&recorder);
    meter.clearExchanges();
    // One warm-up cycle, then the measured ones; the stop lands at the start of the next.
    CycleHook hook(cycles + 2);
    FormMain->EditEnd->setText(QStringLiteral("1"));
    FormMain->ButtonReadClick();
    InstallUiRecorder(nullptr);

    PollingResult result;
    const std::vector<Clocks>& marks = hook.marks();
    for (size_t i = 2; i < marks.size(); ++i)
        result.cycleMs.push_back(marks[i].wallMs - marks[i - 1].wallMs);
    if (marks.size() > 2) {
        const double wall = marks.back().wallMs - marks[1].wallMs;
        result.cpuShare = (marks.back().cpuMs - marks[1].cpuMs) / wall;
    }
    result.failures = recorder.beeps();
    CountLastCycle(meter.exchanges(), result);
    return result;
}

}  // namespace bench
