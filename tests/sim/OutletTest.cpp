// The adapter's way to the program: bytes at once without a latency timer, in bursts at its
// multiples with one.
#include "sim/Outlet.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

struct Burst {
    double atMs;
    Bytes bytes;
    bool operator==(const Burst&) const = default;
};

void PrintTo(const Burst& b, std::ostream* os)
{
    *os << b.bytes.size() << " bytes at " << b.atMs << " ms";
}

// A clock that moves only when the outlet sleeps.
class OutletTest : public testing::Test {
protected:
    sim::Outlet outlet{[this](const uint8_t* bytes, size_t length) { bursts.push_back({nowMs, Bytes(bytes, bytes + length)}); },
                       [this](double ms) {
                           nowMs = std::max(nowMs, ms);
                           return !stopping;
                       }};
    // As the runner does: waits until ms, sending what falls due on the way, then puts.
    void Put(Bytes bytes, double ms)
    {
        ASSERT_TRUE(outlet.deliverUntil(ms));
        PutLate(bytes, ms);
    }
    // Puts at ms without having sent on the way.
    void PutLate(Bytes bytes, double ms)
    {
        nowMs = std::max(nowMs, ms);
        outlet.put(bytes.data(), bytes.size(), ms);
    }
    double nowMs = 0;
    bool stopping = false;
    std::vector<Burst> bursts;
};

TEST_F(OutletTest, WithoutATimerEveryByteGoesAtOnce)
{
    Put({1, 2}, 3.5);
    Put({3}, 4.1);
    EXPECT_EQ(bursts, (std::vector<Burst>{{3.5, {1, 2}}, {4.1, {3}}}));
    EXPECT_EQ(outlet.msUntilDue(5, 50), 50);
}

TEST_F(OutletTest, WithATimerBytesGoTogetherAtItsNextMultiple)
{
    outlet.setLatency(16);
    Put({1}, 3.5);
    Put({2}, 15.9);
    EXPECT_TRUE(bursts.empty());
    EXPECT_EQ(outlet.msUntilDue(nowMs, 50), 1);
    EXPECT_TRUE(outlet.deliverUntil(15.95));
    EXPECT_TRUE(bursts.empty());
    Put({3}, 32);     // on a multiple: goes at that very time
    Put({4}, 32.5);   // the next burst
    EXPECT_TRUE(outlet.deliverAll());
    EXPECT_EQ(bursts, (std::vector<Burst>{{16, {1, 2}}, {32, {3}}, {48, {4}}}));
}

TEST_F(OutletTest, ABytePastTheHeldBurstSendsItFirst)
{
    outlet.setLatency(16);
    PutLate({1}, 10);
    PutLate({2}, 20);   // past 16
    PutLate({3}, 21);
    outlet.setLatency(0);
    PutLate({4}, 40);   // the timer switched off: what is held goes first
    EXPECT_EQ(bursts, (std::vector<Burst>{{20, {1}}, {40, {2, 3}}, {40, {4}}}));
}

TEST_F(OutletTest, AStopLosesWhatIsHeld)
{
    outlet.setLatency(16);
    Put({1}, 10);
    stopping = true;
    EXPECT_FALSE(outlet.deliverAll());
    EXPECT_TRUE(bursts.empty());
}

}  // namespace
