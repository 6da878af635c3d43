#include "sim/PtyMeter.h"
#include "sim/Line.h"
#include "sim/Outlet.h"
#include "sim/TrafficLog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace sim {

namespace {
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;
constexpr int PollMs = 50;
constexpr int WriteTimeoutMs = 500;
}  // namespace

struct PtyMeter::Impl {
    Impl(const MeterSettings& settings, const std::string& linkPath, const std::string& devicePath)
        : core(settings), log(settings.logPath), linkPath(linkPath), start(Clock::now())
    {
        ends = devicePath.empty() ? OpenPty() : OpenDevice(devicePath);
        try {
            if (!linkPath.empty())
                PlaceLink(linkPath, ends.path);
        } catch (...) {
            CloseLine(ends);
            throw;
        }
        thread = std::thread([this] { run(); });
    }

    double nowMs() const
    {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    Clock::time_point at(double ms) const
    {
        return start + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double, std::milli>(ms));
    }
    // Sleeps until ms on the meter's clock; false when stop() came first.
    bool sleepUntil(double ms)
    {
        std::unique_lock<std::mutex> lock(sleepMutex);
        return !wake.wait_until(lock, at(ms), [this] { return stopping.load(); });
    }
    // Sleeps until ms, sending on the way what the adapter's latency timer lets go.
    bool waitUntil(double ms) { return outlet.deliverUntil(ms) && sleepUntil(ms); }
    // Hands bytes to the adapter on their way to the program.
    void put(const uint8_t* bytes, size_t length, double ms)
    {
        bytesPut += length;
        outlet.put(bytes, length, ms);
    }

    void run();
    void serve(const uint8_t* bytes, size_t length, double arrivalMs);
    // Feeds the bytes to the core at time ms; logs the frames; returns the replies.
    std::vector<Bytes> feed(const uint8_t* bytes, size_t length, double ms, int& turnaroundMs,
                            bool& pacing, std::vector<bool>& faulty);
    void send(const Bytes& reply, double startMs, bool pacing, bool faulty);

    mutable std::mutex mutex;   // guards core and log
    MeterCore core;
    TrafficLog log;
    std::string linkPath;
    LineEnds ends;
    Clock::time_point start;
    double lineFreeMs = 0;      // when the last paced character has been received or sent
    Outlet outlet{[this](const uint8_t* bytes, size_t length) {
                      WriteAll(ends.fd, bytes, length, WriteTimeoutMs);
                      bytesWritten += length;
                  },
                  [this](double ms) { return sleepUntil(ms); }};
    std::atomic<size_t> bytesPut{0};       // handed to the adapter
    std::atomic<size_t> bytesWritten{0};   // gone on from the adapter to the program
    std::mutex sleepMutex;
    std::condition_variable wake;
    std::atomic<bool> stopping{false};
    std::thread thread;
};

void PtyMeter::Impl::run()
{
    uint8_t buffer[512];
    while (!stopping) {
        pollfd p{ends.fd, POLLIN, 0};
        const int ready = poll(&p, 1, outlet.msUntilDue(nowMs(), PollMs));
        outlet.deliverUntil(nowMs());
        if (ready <= 0)
            continue;
        const ssize_t n = read(ends.fd, buffer, sizeof buffer);
        if (n > 0)
            serve(buffer, static_cast<size_t>(n), nowMs());
        else if (!(p.revents & POLLIN))
            sleepUntil(nowMs() + PollMs);   // a hung-up device: do not spin
    }
}

void PtyMeter::Impl::serve(const uint8_t* bytes, size_t length, double arrivalMs)
{
    bool pacing;
    bool echo;
    int turnaroundMs;
    std::vector<bool> faulty;
    {
        std::lock_guard<std::mutex> lock(mutex);
        pacing = core.settings().wirePacing;
        echo = core.settings().echo;
        outlet.setLatency(core.settings().latencyMs);
    }
    // Paced, each character is taken when it would have finished arriving at 9600 baud;
    // the schedule is absolute, so sleeping late once does not delay the rest.
    const size_t step = pacing ? 1 : length;
    for (size_t i = 0; i < length && !stopping; i += step) {
        double ms = arrivalMs;
        if (pacing) {
            lineFreeMs = std::max(lineFreeMs, arrivalMs) + CharTimeMs;
            ms = lineFreeMs;
            if (!waitUntil(ms))
                return;
        }
        if (echo)
            put(bytes + i, step, ms);
        const std::vector<Bytes> replies = feed(bytes + i, step, ms, turnaroundMs, pacing, faulty);
        double replyMs = (pacing ? lineFreeMs : nowMs()) + turnaroundMs;
        for (size_t r = 0; r < replies.size(); ++r) {
            if (!waitUntil(replyMs))
                return;
            send(replies[r], replyMs, pacing, faulty[r]);
            replyMs = pacing ? lineFreeMs : nowMs();
        }
    }
}

std::vector<Bytes> PtyMeter::Impl::feed(const uint8_t* bytes, size_t length, double ms,
                                        int& turnaroundMs, bool& pacing, std::vector<bool>& faulty)
{
    std::lock_guard<std::mutex> lock(mutex);
    const size_t before = core.exchanges().size();
    std::vector<Bytes> replies = core.feed(bytes, length, ms);
    turnaroundMs = core.settings().faults.turnaroundMs;
    pacing = core.settings().wirePacing;
    faulty.clear();
    const std::vector<Exchange>& all = core.exchanges();
    for (size_t k = before; k < all.size(); ++k) {
        const Exchange& e = all[k];
        log.received(e.timeMs, e.request);
        if (!e.reply.empty())
            faulty.push_back(e.injectedFault);
        else if (e.injectedFault)
            log.suppressed(e.timeMs);
    }
    return replies;
}

void PtyMeter::Impl::send(const Bytes& reply, double startMs, bool pacing, bool faulty)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        log.sent(startMs, reply, faulty);
    }
    if (!pacing) {
        put(reply.data(), reply.size(), startMs);
        return;
    }
    lineFreeMs = startMs;
    for (uint8_t byte : reply) {
        if (!waitUntil(lineFreeMs))
            return;
        put(&byte, 1, lineFreeMs);
        lineFreeMs += CharTimeMs;
    }
}

PtyMeter::PtyMeter(const MeterSettings& settings, const std::string& linkPath,
                   const std::string& devicePath)
    : impl_(std::make_unique<Impl>(settings, linkPath, devicePath))
{
}

PtyMeter::~PtyMeter() { stop(); }

std::string PtyMeter::path() const { return impl_->ends.path; }

std::vector<Exchange> PtyMeter::exchanges() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->core.exchanges();
}

std::vector<std::vector<uint8_t>> PtyMeter::frames() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    std::vector<std::vector<uint8_t>> result;
    for (const Exchange& e : impl_->core.exchanges())
        result.push_back(e.request);
    return result;
}

void PtyMeter::clearExchanges()
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->core.clearExchanges();
}

MeterState PtyMeter::state() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->core.state();
}

bool PtyMeter::holdsBytes() const
{
    return impl_->bytesWritten != impl_->bytesPut;
}

void PtyMeter::withCore(const std::function<void(MeterCore&)>& f)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    f(impl_->core);
}

void PtyMeter::stop()
{
    Impl& m = *impl_;
    if (m.stopping.exchange(true))
        return;
    {
        std::lock_guard<std::mutex> lock(m.sleepMutex);
    }
    m.wake.notify_all();
    if (m.thread.joinable())
        m.thread.join();
    if (!m.linkPath.empty())
        RemoveLink(m.linkPath, m.ends.path);
    CloseLine(m.ends);
}

}  // namespace sim
