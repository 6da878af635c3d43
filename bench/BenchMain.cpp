// qvt_bench [--cycles N] [--turnaround MS]
// Polls the simulated meter through the real main window and scans a silent line with the
// real discovery dialog, both over a pty paced like 9600 baud 8N1, and prints each time
// beside the floor of a real line; then polls again through a USB adapter's default latency
// timer, to show what the low-latency request at open saves. Exits 1 when a figure misses its
// target.

#include "bench/Bench.h"

#include "ui/main/N2testeqvtmain.h"
#include "ui/main/Startup.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr double SendPausesMs = 1 + 2;     // RTS raised before, dropped after each send
constexpr double ConfigEndGapMs = 50;      // a config reply ends by the read's interval gap
constexpr int ConfigReadsPerCycle = 2;
constexpr int Addresses = 255;
constexpr int IdentifyRequestChars = 7;
constexpr double IdentifyTimeoutMs = 10 + 10 * 6;
constexpr double RatioTarget = 1.05;
constexpr double CpuTarget = 0.02;
constexpr int UsbDefaultLatencyMs = 16;   // the common FTDI chips' latency timer

struct Options {
    int cycles = 7;
    int turnaroundMs = 5;
};

Options Parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cycles") == 0)
            options.cycles = std::max(5, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--turnaround") == 0)
            options.turnaroundMs = std::max(0, std::atoi(argv[i + 1]));
    }
    return options;
}

double PollingFloorMs(const bench::PollingResult& r, int turnaroundMs)
{
    return r.characters * sim::CharTimeMs + r.requestsPerCycle * (SendPausesMs + turnaroundMs) +
           ConfigReadsPerCycle * ConfigEndGapMs;
}

double ScanFloorMs()
{
    return Addresses * (IdentifyRequestChars * sim::CharTimeMs + SendPausesMs + IdentifyTimeoutMs);
}

bool Row(const char* what, double measuredMs, double floorMs)
{
    const double ratio = measuredMs / floorMs;
    std::printf("| %-34s | %9.1f ms | %9.1f ms | %5.3f | <= %.2f |\n", what, measuredMs, floorMs, ratio,
                RatioTarget);
    return ratio <= RatioTarget;
}

bool ReportLatency(const bench::PollingResult& direct, const bench::PollingResult& held)
{
    const double directMs = bench::Median(direct.cycleMs);
    const double heldMs = bench::Median(held.cycleMs);
    std::printf("\n| adapter latency timer | 0 ms | %d ms | cost |\n|---|---:|---:|---:|\n", UsbDefaultLatencyMs);
    std::printf("| polling cycle (median of %zu) | %9.1f ms | %9.1f ms | %+8.1f ms |\n", held.cycleMs.size(), directMs,
                heldMs, heldMs - directMs);
    return held.requestsPerCycle == 37 && held.failures == 0;
}

bool Report(const Options& options, const bench::PollingResult& poll, const bench::ScanResult& scan)
{
    char cycleLabel[64];
    std::snprintf(cycleLabel, sizeof cycleLabel, "polling cycle (median of %zu)", poll.cycleMs.size());
    std::printf("| measure | measured | floor (real line) | ratio | target |\n");
    std::printf("|---|---:|---:|---:|---|\n");
    bool ok = Row(cycleLabel, bench::Median(poll.cycleMs), PollingFloorMs(poll, options.turnaroundMs));
    ok = Row("address scan, 255 silent addresses", scan.wallMs, ScanFloorMs()) && ok;
    std::printf("| %-34s | %10.2f %% | | | < %.0f %% |\n", "CPU time per polling cycle", 100 * poll.cpuShare,
                100 * CpuTarget);
    std::printf("\nper cycle: %d requests, %d characters, meter turnaround %d ms, %d failures; cycles (ms):",
                poll.requestsPerCycle, poll.characters, options.turnaroundMs, poll.failures);
    for (double ms : poll.cycleMs)
        std::printf(" %.1f", ms);
    std::printf("\nscan: %d requests, %d characters, CPU %.2f %% of wall, error box %s\n", scan.requests,
                scan.requestCharacters, 100 * scan.cpuShare, scan.notFoundBox ? "shown" : "MISSING");
    const bool clean = poll.requestsPerCycle == 37 && poll.failures == 0 && scan.requests == Addresses &&
                       scan.notFoundBox;
    return ok && clean && poll.cpuShare < CpuTarget;
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options = Parse(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    sim::MeterSettings settings;
    settings.wirePacing = true;
    settings.faults.turnaroundMs = options.turnaroundMs;
    sim::PtyMeter meter(settings);
    qputenv("QVT_N2_COM1", QByteArray::fromStdString(meter.path()));

    CreateAllForms();
    FormMain->show();
    QCoreApplication::processEvents();
    const bench::PollingResult poll = bench::RunPolling(meter, options.cycles);
    const bench::ScanResult scan = bench::RunScan(meter);
    meter.withCore([](sim::MeterCore& core) { core.settings().latencyMs = UsbDefaultLatencyMs; });
    const bench::PollingResult held = bench::RunPolling(meter, options.cycles);
    const bool ok = Report(options, poll, scan);
    const bool latencyOk = ReportLatency(poll, held);
    DestroyAllForms();
    meter.stop();
    return ok && latencyOk ? 0 : 1;
}
