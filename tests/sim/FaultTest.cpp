// Faults the simulated meter injects on purpose: counted, marked and repeatable.

#include "tests/sim/MeterTestSupport.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

// A polling-like mix of requests, repeated.
std::vector<sim::Exchange> Poll(const sim::Faults& faults, int rounds = 50, uint32_t seed = 1)
{
    sim::MeterSettings s;
    s.seed = seed;
    s.faults = faults;
    sim::MeterCore meter(s);
    const std::vector<Bytes> requests = {N2("01F"), N2("0109"), N2("0111" + Hex(5) + "03"),
                                         Cfg(s.serialNumber, "R2", {2, 0, 12})};
    for (int round = 0; round < rounds; ++round)
        for (const Bytes& request : requests)
            meter.feed(request.data(), request.size(), round * 100.0);
    int marked = 0;
    for (const sim::Exchange& e : meter.exchanges())
        marked += e.injectedFault;
    EXPECT_EQ(marked, meter.state().injectedFaults);
    return meter.exchanges();
}

size_t FullLength(const sim::Exchange& e)
{
    switch (e.request.size()) {
    case 7: return 6;
    case 8: return 28;
    case 12: return 14;
    default: return 13;   // the block read
    }
}

int Faulty(const std::vector<sim::Exchange>& run)
{
    int n = 0;
    for (const sim::Exchange& e : run)
        n += e.injectedFault;
    return n;
}

TEST(Faults, NoneByDefault)
{
    const auto run = Poll({});
    EXPECT_EQ(Faulty(run), 0);
    for (const sim::Exchange& e : run)
        EXPECT_EQ(e.reply.size(), FullLength(e));
}

TEST(Faults, SilentNeverAnswers)
{
    sim::Faults f;
    f.silent = true;
    const auto run = Poll(f, 5);
    for (const sim::Exchange& e : run)
        EXPECT_TRUE(e.reply.empty());
    EXPECT_EQ(Faulty(run), 20);
}

TEST(Faults, DroppedRepliesAreEmpty)
{
    sim::Faults f;
    f.dropRate = 1;
    for (const sim::Exchange& e : Poll(f, 5)) {
        EXPECT_TRUE(e.reply.empty());
        EXPECT_TRUE(e.injectedFault);
    }
}

TEST(Faults, CutRepliesKeepAtLeastOneByte)
{
    sim::Faults f;
    f.cutRate = 1;
    for (const sim::Exchange& e : Poll(f)) {
        EXPECT_GE(e.reply.size(), 1u);
        EXPECT_LT(e.reply.size(), FullLength(e));
    }
}

TEST(Faults, GarbleHitsOnlyDecodedFields)
{
    sim::Faults f;
    f.garbleRate = 1;
    for (const sim::Exchange& e : Poll(f)) {
        const std::string reply = Text(e.reply);
        ASSERT_EQ(e.reply.size(), FullLength(e));
        if (reply.size() == 28) {
            EXPECT_TRUE(e.injectedFault);
            EXPECT_FALSE(IsUpperHex(reply.substr(9, 8)) && IsUpperHex(reply.substr(21, 4)));
            EXPECT_TRUE(IsUpperHex(reply.substr(1, 8)));
        } else if (reply.size() == 14) {
            EXPECT_TRUE(e.injectedFault);
            EXPECT_FALSE(IsUpperHex(reply.substr(3, 8)));
        } else {
            EXPECT_FALSE(e.injectedFault);   // identify and config replies have no such field
        }
    }
}

TEST(Faults, SharesAreRoughlyKeptAndRepeatable)
{
    sim::Faults f;
    f.dropRate = 0.1;
    f.cutRate = 0.1;
    f.garbleRate = 0.2;
    const auto run = Poll(f, 250);   // 1000 replies
    const int faulty = Faulty(run);
    EXPECT_GT(faulty, 200);
    EXPECT_LT(faulty, 400);
    const auto again = Poll(f, 250);
    ASSERT_EQ(again.size(), run.size());
    for (size_t i = 0; i < run.size(); ++i)
        EXPECT_EQ(again[i].reply, run[i].reply) << i;
    const auto other = Poll(f, 250, 2);
    bool differs = false;
    for (size_t i = 0; i < run.size(); ++i)
        differs = differs || other[i].reply != run[i].reply;
    EXPECT_TRUE(differs);
}

}  // namespace
