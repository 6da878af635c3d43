// The simulated adapter as the program's side of the pty sees it, byte by byte: the echo of
// each frame ahead of the reply, and replies held for the USB latency timer.
#include "sim/PtyMeter.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes IdentifyFrame = {'>', '0', '1', 'F', 'A', '7', '\r'};
constexpr size_t IdentifyReplyLength = 6;

struct Arrival {
    Bytes bytes;
    qint64 firstMs = -1;   // on the test's clock
    qint64 lastMs = -1;
};

class ProgramSide {
public:
    explicit ProgramSide(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        clock_.start();
    }
    ~ProgramSide() { ::close(fd_); }
    ProgramSide(const ProgramSide&) = delete;
    ProgramSide& operator=(const ProgramSide&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    qint64 nowMs() const { return clock_.elapsed(); }
    void send(const Bytes& bytes) { ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    // Reads until count bytes have come or a second has passed.
    Arrival receive(size_t count)
    {
        Arrival arrival;
        while (arrival.bytes.size() < count && nowMs() < start_ + 1000) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            uint8_t buffer[64];
            const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - arrival.bytes.size()));
            if (n <= 0)
                continue;
            arrival.lastMs = nowMs();
            if (arrival.firstMs < 0)
                arrival.firstMs = arrival.lastMs;
            arrival.bytes.insert(arrival.bytes.end(), buffer, buffer + n);
        }
        return arrival;
    }
    void startWaiting() { start_ = nowMs(); }

private:
    int fd_;
    QElapsedTimer clock_;
    qint64 start_ = 0;
};

TEST(Adapter, EchoComesAheadOfTheReply)
{
    sim::MeterSettings settings;
    settings.echo = true;
    sim::PtyMeter meter(settings);
    ProgramSide program(meter.path());
    ASSERT_TRUE(program.isOpen());
    program.startWaiting();
    program.send(IdentifyFrame);
    const Arrival arrival = program.receive(IdentifyFrame.size() + IdentifyReplyLength);
    ASSERT_EQ(arrival.bytes.size(), IdentifyFrame.size() + IdentifyReplyLength);
    EXPECT_EQ(Bytes(arrival.bytes.begin(), arrival.bytes.begin() + 7), IdentifyFrame);
    EXPECT_EQ(arrival.bytes[7], 'A');
}

TEST(Adapter, LatencyTimerHoldsRepliesUntilItsNextMultiple)
{
    constexpr int LatencyMs = 100;
    sim::MeterSettings settings;
    settings.latencyMs = LatencyMs;
    sim::PtyMeter meter(settings);
    ProgramSide program(meter.path());
    ASSERT_TRUE(program.isOpen());

    // Each request after the first goes as soon as the reply before it came, just after a
    // multiple of the timer, so its reply waits for the next one; without the timer it would
    // come at once. Half a period of margin: a loaded machine delivers late.
    for (int exchange = 0; exchange < 3; ++exchange) {
        program.startWaiting();
        const qint64 sentMs = program.nowMs();
        program.send(IdentifyFrame);
        const Arrival reply = program.receive(IdentifyReplyLength);
        ASSERT_EQ(reply.bytes.size(), IdentifyReplyLength);
        EXPECT_LE(reply.lastMs - reply.firstMs, 5) << "one burst";
        if (exchange > 0) {
            EXPECT_GE(reply.firstMs - sentMs, LatencyMs / 2) << exchange;
        }
    }
}

TEST(Adapter, ToldWhileItHoldsBytesForTheProgram)
{
    sim::MeterSettings settings;
    settings.echo = true;
    settings.latencyMs = 500;   // the first burst leaves half a second after the meter started
    sim::PtyMeter meter(settings);
    ProgramSide program(meter.path());
    ASSERT_TRUE(program.isOpen());
    program.startWaiting();
    program.send(IdentifyFrame);
    QElapsedTimer waited;
    waited.start();
    while (meter.frames().empty() && waited.elapsed() < 1000)
        QThread::msleep(1);
    // The echo goes to the adapter before the meter takes the frame.
    EXPECT_TRUE(meter.holdsBytes());
    EXPECT_EQ(program.receive(IdentifyFrame.size() + IdentifyReplyLength).bytes.size(),
              IdentifyFrame.size() + IdentifyReplyLength);
    while (meter.holdsBytes() && waited.elapsed() < 2000)
        QThread::msleep(1);
    EXPECT_FALSE(meter.holdsBytes());
}

}  // namespace
