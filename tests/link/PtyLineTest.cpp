// The real Qt transport against a pseudo-terminal whose master side this test plays as the meter.
#include "link/PortState.h"
#include "link/QtSerialLine.h"
#include "link/Wn2.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

class PtyPeer {
public:
    PtyPeer() : master_(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            path_ = QString::fromLocal8Bit(ptsname(master_));
    }
    ~PtyPeer() { hangUp(); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    QString path() const { return path_; }

    // What the program sent: count bytes, or fewer when timeoutMs passes first.
    Bytes receive(size_t count, int timeoutMs)
    {
        Bytes bytes;
        QElapsedTimer timer;
        timer.start();
        while (bytes.size() < count) {
            pollfd fd{master_, POLLIN, 0};
            const int left = timeoutMs - static_cast<int>(timer.elapsed());
            if (left <= 0 || poll(&fd, 1, left) <= 0 || !(fd.revents & POLLIN))
                break;
            uint8_t buffer[256];
            const ssize_t got = ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (got <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        return bytes;
    }

    void send(const Bytes& bytes) { ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    // The meter's side goes away, as an unplugged adapter does.
    void hangUp()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_;
    QString path_;
};

struct Chunk {
    int delayMs;
    Bytes bytes;
};

class PtyLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(peer_.path().isEmpty());
        previous_ = N2UseLine(nullptr);
        ASSERT_EQ(N2OpenPort(peer_.path(), 9600), 1);
    }
    void TearDown() override
    {
        join();
        N2ClosePort();
        N2UseLine(previous_);
    }

    // The meter waits for a request of requestLength bytes, then sends each chunk after its delay.
    void answer(size_t requestLength, std::vector<Chunk> chunks)
    {
        meter_ = std::thread([this, requestLength, chunks] {
            request_ = peer_.receive(requestLength, 2000);
            for (const Chunk& chunk : chunks) {
                std::this_thread::sleep_for(std::chrono::milliseconds(chunk.delayMs));
                peer_.send(chunk.bytes);
            }
        });
    }
    void join()
    {
        if (meter_.joinable())
            meter_.join();
    }
    // Runs a request and returns its result; elapsedMs_ is how long it blocked.
    int timed(const std::function<int()>& request)
    {
        QElapsedTimer timer;
        timer.start();
        const int result = request();
        elapsedMs_ = timer.elapsed();
        join();
        return result;
    }

    PtyPeer peer_;
    std::thread meter_;
    Bytes request_;
    uint8_t reply_[256] = {};
    qint64 elapsedMs_ = 0;

private:
    SerialLine* previous_ = nullptr;
};

// Control characters of a terminal must pass both ways untouched.
const uint8_t RawData[] = {0x0D, 0x0A, 0x11, 0x13, 0x00, 0xFF, 0x03, 0x1A, 0x7F};

TEST_F(PtyLinkTest, FramesReachTheWireByteForByte)
{
    answer(12, {});
    EXPECT_EQ(timed([&] { return N2ReadPoint(1, 0, 3, reply_); }), -1);
    EXPECT_EQ(request_, ToBytes(">0111000386\r"));

    Bytes config{0x21, 0x00, 0x00, 0x01, 0x02, 0x57, 0x32, 0x01, 0x00, 0x09};
    config.insert(config.end(), std::begin(RawData), std::end(RawData));
    config.push_back(0x0D);
    answer(config.size(), {});
    EXPECT_EQ(timed([&] { return CfgWriteBlock(258, 1, 0, RawData); }), 1);
    EXPECT_EQ(request_, config);
}

TEST_F(PtyLinkTest, RawReplyBytesArriveUnchanged)
{
    const Bytes raw(std::begin(RawData), std::end(RawData));
    answer(11, {{0, raw}});
    EXPECT_EQ(timed([&] { return CfgReadBlock(258, 1, 0, 18, reply_); }), int(raw.size()));
    EXPECT_EQ(Bytes(reply_, reply_ + raw.size()), raw);
}

TEST_F(PtyLinkTest, ReplySplitWithinTheGapIsReadWhole)
{
    answer(7, {{0, ToBytes("AB")}, {20, ToBytes("CDEF")}});
    EXPECT_EQ(timed([&] { return N2Identify(1, reply_); }), 6);
    EXPECT_EQ(Bytes(reply_, reply_ + 6), ToBytes("ABCDEF"));
}

TEST_F(PtyLinkTest, ReplyThatStopsEarlyGivesItsCountAfterTheGap)
{
    answer(8, {{0, ToBytes("ABC")}});
    EXPECT_EQ(timed([&] { return N2ReadStatus(1, reply_); }), 3);
    EXPECT_GE(elapsedMs_, 45);
    EXPECT_LT(elapsedMs_, 240);   // well before the 290 ms total time-out
}

TEST_F(PtyLinkTest, SilenceGivesMinusOneAfterTheTotalTimeOut)
{
    EXPECT_EQ(timed([&] { return N2Identify(1, reply_); }), -1);
    EXPECT_GE(elapsedMs_, 65);
    EXPECT_LT(elapsedMs_, 250);
}

TEST_F(PtyLinkTest, PortIsExclusiveUntilClosedUnderEveryName)
{
    const QString link = QString::fromStdString(testing::TempDir()) + QString("qvt-pty-link-%1").arg(getpid());
    ASSERT_EQ(::symlink(qPrintable(peer_.path()), qPrintable(link)), 0);
    // Both spellings meet the lock file named after the device itself.
    const QString lockName = "LCK.." + peer_.path().mid(5).replace('/', '_');
    QtSerialLine other;
    for (const QString& name : {peer_.path(), link}) {
        const OpenResult result = other.open(name, 9600, 8, 0, 0);
        EXPECT_EQ(result.failure, OpenFailure::InUse) << name.toStdString();
        EXPECT_TRUE(result.lockFile.endsWith("/" + lockName)) << result.lockFile.toStdString();
        EXPECT_EQ(result.holder, getpid());
    }
    EXPECT_NE(N2ClosePort(), 0);
    EXPECT_TRUE(other.open(link, 9600, 8, 0, 0).ok());
    EXPECT_TRUE(other.close());
    ::unlink(qPrintable(link));
}

// A program that locks the device without Qt's lock file (root ignores the tty's exclusive mode).
TEST_F(PtyLinkTest, LockOnTheDeviceMeansInUse)
{
    N2ClosePort();
    const int holder = ::open(qPrintable(peer_.path()), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(N2OpenPort(peer_.path(), 9600, 8, 0, 0), -1);
    EXPECT_EQ(N2CurrentPortStatus().reason, "in use");
    ::close(holder);
    EXPECT_EQ(N2OpenPort(peer_.path(), 9600, 8, 0, 0), 1);
}

TEST_F(PtyLinkTest, ReopeningReplacesThePort)
{
    EXPECT_EQ(N2OpenPort(peer_.path(), 9600, 8, 0, 0), 1);
    answer(7, {{0, ToBytes("ABCDEF")}});
    EXPECT_EQ(timed([&] { return N2Identify(1, reply_); }), 6);
}

TEST_F(PtyLinkTest, FailedOpenLeavesNoPortAndRequestsWaitTheirReadTimeOut)
{
    for (const char* name : {"/dev/qvt-n2-missing", ""}) {
        ASSERT_EQ(N2OpenPort(peer_.path(), 9600, 8, 0, 0), 1);
        EXPECT_EQ(N2OpenPort(name, 9600, 8, 0, 0), -1) << name;
        EXPECT_EQ(N2CurrentPortStatus().reason, "not found") << name;
        // As on a silent line: the status reply's 290 ms, not a failure at once.
        EXPECT_EQ(timed([&] { return N2ReadStatus(1, reply_); }), -1) << name;
        EXPECT_GE(elapsedMs_, 285) << name;
        EXPECT_LT(elapsedMs_, 1000) << name;
        EXPECT_EQ(timed([&] { return CfgWriteSerialNumber(1); }), -1) << name;
        EXPECT_LT(elapsedMs_, 30) << name;
    }
}

TEST(RealLineOpen, WhatIsNoSerialPortSaysWhy)
{
    const std::string dir = testing::TempDir() + "qvt-not-a-port-" + std::to_string(getpid());
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    const std::string file = dir + "/file";
    ::close(::open(file.c_str(), O_CREAT | O_WRONLY, 0600));
    const std::string dangling = dir + "/dangling";
    ASSERT_EQ(::symlink((dir + "/nothing").c_str(), dangling.c_str()), 0);
    struct Case {
        std::string path;
        OpenFailure failure;
    } cases[] = {{"/dev/qvt-n2-missing", OpenFailure::NotFound}, {"", OpenFailure::NotFound},
                 {dangling, OpenFailure::NotFound}, {file, OpenFailure::Other}, {dir, OpenFailure::Other}};
    QtSerialLine line;
    for (const Case& c : cases) {
        const OpenResult result = line.open(QString::fromStdString(c.path), 9600, 8, 0, 0);
        EXPECT_EQ(result.failure, c.failure) << c.path;
        EXPECT_EQ(result.systemError.isEmpty(), c.failure != OpenFailure::Other) << c.path;
        EXPECT_FALSE(line.isOpen()) << c.path;
    }
    ::unlink(dangling.c_str());
    ::unlink(file.c_str());
    ::rmdir(dir.c_str());
}

TEST_F(PtyLinkTest, HangUpClosesThePortAtOnce)
{
    answer(7, {{0, ToBytes("ABCDEF")}});
    ASSERT_EQ(timed([&] { return N2Identify(1, reply_); }), 6);
    peer_.hangUp();
    EXPECT_EQ(timed([&] { return N2Identify(1, reply_); }), -1);
    EXPECT_EQ(N2CurrentPortStatus().reason, "lost");
    // The device node goes once nothing holds it: the port let it go.
    EXPECT_NE(::access(qPrintable(peer_.path()), F_OK), 0);
}

TEST_F(PtyLinkTest, HangUpDuringAReadEndsItAtOnce)
{
    meter_ = std::thread([this] {
        request_ = peer_.receive(8, 2000);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        peer_.hangUp();
    });
    // A config read waits up to 2570 ms for a reply that will not come.
    EXPECT_EQ(timed([&] { return CfgReadInfo(1, reply_); }), -1);
    EXPECT_LT(elapsedMs_, 1500);
    EXPECT_EQ(N2CurrentPortStatus().reason, "lost");
}

// Forwards to the real line and notes when RTS moves and when the write returned.
class WatchedLine : public SerialLine {
public:
    using Clock = std::chrono::steady_clock;
    explicit WatchedLine(QtSerialLine& real) : real_(real) {}

    OpenResult open(const QString& path, int baud, uint8_t size, uint8_t stop, uint8_t parity) override
    {
        return real_.open(path, baud, size, stop, parity);
    }
    bool close() override { return real_.close(); }
    bool isOpen() const override { return real_.isOpen(); }
    void setRts(bool raised) override
    {
        real_.setRts(raised);
        (raised ? rtsRaised : rtsDropped) = Clock::now();
    }
    void purgeOutput() override { real_.purgeOutput(); }
    void purgeInput() override { real_.purgeInput(); }
    bool write(const uint8_t* bytes, int length, int timeoutMs) override
    {
        const bool written = real_.write(bytes, length, timeoutMs);
        writeReturned = Clock::now();
        return written;
    }
    int read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs) override
    {
        return real_.read(buffer, maxLength, intervalMs, totalMs);
    }
    LineFault fault() override { return real_.fault(); }
    void clearError() override { real_.clearError(); }
    long long clockMs() const override { return real_.clockMs(); }

    Clock::time_point rtsRaised, rtsDropped, writeReturned;

private:
    QtSerialLine& real_;
};

// A pty empties at once; this drain takes as long as a slow UART's last bytes would.
TEST_F(PtyLinkTest, SendWaitsForTheDrainBeforeThePauseAndTheRtsDrop)
{
    using namespace std::chrono_literals;
    N2ClosePort();
    QtSerialLine real;
    WatchedLine watched(real);
    int drains = 0;
    WatchedLine::Clock::time_point drainStarted, drainEnded;
    real.setDrain([&](int fd) {
        ++drains;
        drainStarted = WatchedLine::Clock::now();
        const int result = tcdrain(fd);
        std::this_thread::sleep_for(30ms);
        drainEnded = WatchedLine::Clock::now();
        return result;
    });
    N2UseLine(&watched);
    ASSERT_EQ(N2OpenPort(peer_.path(), 9600), 1);
    answer(7, {{0, ToBytes("ABCDEF")}});
    EXPECT_EQ(timed([&] { return N2Identify(1, reply_); }), 6);
    N2ClosePort();
    N2UseLine(nullptr);

    EXPECT_EQ(drains, 1);
    EXPECT_GE(drainStarted, watched.rtsRaised);
    EXPECT_GE(watched.writeReturned, drainEnded);
    EXPECT_GE(watched.rtsDropped - drainEnded, 2ms);
}

}  // namespace
