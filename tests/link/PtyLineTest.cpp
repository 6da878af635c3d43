// The real Qt transport against a pseudo-terminal whose master side this test plays as the meter.
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
    ~PtyPeer() { ::close(master_); }
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
    EXPECT_EQ(timed([&] { return CfgWriteBlock(258, 1, 0, 9, RawData); }), 1);
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

TEST_F(PtyLinkTest, PortIsExclusiveUntilClosed)
{
    QtSerialLine other;
    EXPECT_FALSE(other.open(peer_.path(), 9600, 8, 0, 0));
    EXPECT_NE(N2ClosePort(), 0);
    EXPECT_TRUE(other.open(peer_.path(), 9600, 8, 0, 0));
    EXPECT_TRUE(other.close());
}

TEST_F(PtyLinkTest, ReopeningReplacesThePort)
{
    EXPECT_EQ(N2OpenPort(peer_.path(), 9600, 8, 0, 0), 1);
    answer(7, {{0, ToBytes("ABCDEF")}});
    EXPECT_EQ(timed([&] { return N2Identify(1, reply_); }), 6);
}

TEST_F(PtyLinkTest, FailedOpenLeavesNoPortAndRequestsFailPromptly)
{
    for (const char* name : {"/dev/qvt-n2-missing", ""}) {
        ASSERT_EQ(N2OpenPort(peer_.path(), 9600, 8, 0, 0), 1);
        EXPECT_EQ(N2OpenPort(name, 9600, 8, 0, 0), -1) << name;
        EXPECT_EQ(timed([&] { return N2ReadStatus(1, reply_); }), -1) << name;
        EXPECT_EQ(CfgWriteSerialNumber(1), -1) << name;
        EXPECT_LT(elapsedMs_, 30) << name;
    }
}

}  // namespace
