// What the simulated meter measures, and how its registers grow and reset.

#include "tests/sim/MeterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace simtest;

namespace {

constexpr double Hour = 3600e3;

float Read(sim::MeterCore& meter, int object, double nowMs = 0)
{
    const Bytes reply = Ask(meter, N2("0111" + Hex(object) + "03"), nowMs);
    EXPECT_EQ(reply.size(), 14u);
    return PointValue(reply);
}

class Measurements : public testing::TestWithParam<bool> {};

TEST_P(Measurements, PhasesAndTotalsAgree)
{
    sim::MeterSettings s;
    s.noNoise = GetParam();
    s.seed = 7;
    sim::MeterCore meter(s);
    Ask(meter, N2("01F"), 1500);   // past the first sample, so noise has been drawn
    const float* v = meter.state().points;
    double p = 0, q = 0, sum = 0;
    for (int k = 0; k < 3; ++k) {
        const float u = v[7 + k], i = v[10 + k], pk = v[13 + k], qk = v[16 + k], sk = v[19 + k],
                    fp = v[22 + k];
        EXPECT_NEAR(u, 220, 3);
        EXPECT_GT(i, 1);
        EXPECT_GT(fp, 0.8);
        EXPECT_LE(fp, 1);
        EXPECT_NEAR(sk, u * i, 1e-3 * sk);
        EXPECT_NEAR(pk, sk * fp, 1e-3 * sk);
        EXPECT_NEAR(sk * sk, pk * pk + qk * qk, 1e-3 * sk * sk);
        p += pk; q += qk; sum += sk;
    }
    EXPECT_NEAR(v[5], p, 1e-3 * p);
    EXPECT_NEAR(v[4], q, 1e-3 * q);
    EXPECT_NEAR(v[3], sum, 1e-3 * sum);
    EXPECT_NEAR(v[2], p / sum, 1e-4);
    EXPECT_NEAR(v[6], 60, 0.1);
    // What the wire says is what the state shows.
    EXPECT_EQ(Read(meter, 13, 1500), v[13]);
}

INSTANTIATE_TEST_SUITE_P(Noise, Measurements, testing::Bool());

TEST(Measurements, NoiseIsSeeded)
{
    auto voltages = [](uint32_t seed) {
        sim::MeterSettings s;
        s.seed = seed;
        sim::MeterCore meter(s);
        std::vector<float> seen;
        for (int second = 1; second <= 5; ++second)
            seen.push_back(Read(meter, 7, second * 1000.0));
        return seen;
    };
    EXPECT_EQ(voltages(3), voltages(3));
    EXPECT_NE(voltages(3), voltages(4));
    const std::vector<float> seen = voltages(3);
    EXPECT_GT(std::set<float>(seen.begin(), seen.end()).size(), 1u);   // it does vary
}

TEST(Registers, GrowWithTimeUnlessFrozen)
{
    for (bool frozen : {false, true}) {
        sim::MeterSettings s;
        s.noNoise = true;
        s.frozenEnergies = frozen;
        sim::MeterCore meter(s);
        const float activeBefore = Read(meter, 25, 0);
        const float reactiveBefore = Read(meter, 26, 0);
        const float power = Read(meter, 5, 0);
        const float demand = Read(meter, 30, Hour / 10);   // 6 minutes into a 15 minute window
        EXPECT_EQ(demand > 0, !frozen);
        const float after = Read(meter, 25, Hour);
        if (frozen) {
            EXPECT_EQ(after, activeBefore);
            EXPECT_EQ(Read(meter, 26, Hour), reactiveBefore);
        } else {
            EXPECT_NEAR(after - activeBefore, power / 1000, 0.01);   // one hour of P, in kWh
            EXPECT_GT(Read(meter, 26, Hour), reactiveBefore);
        }
    }
}

struct ResetCase {
    int object;   // register object of the reset command
    int point;    // polling object of the same register
};

void PrintTo(const ResetCase& c, std::ostream* out) { *out << "object " << c.object; }

class RegisterReset : public testing::TestWithParam<ResetCase> {};

TEST_P(RegisterReset, ZeroesOnlyItsRegister)
{
    sim::MeterSettings s;
    s.frozenEnergies = true;
    sim::MeterCore meter(s);
    Ask(meter, N2("01F"), 0);
    Ask(meter, N2("01F"), 2 * Hour);   // frozen: nothing grows meanwhile
    float before[33];
    std::copy(meter.state().points, meter.state().points + 33, before);
    const Bytes reply = Ask(meter, N2("0124" + Hex(GetParam().object) + "0102"));
    EXPECT_EQ(Text(reply).substr(0, 1), "A");
    EXPECT_EQ(Read(meter, GetParam().point), 0.0f);
    for (int point = 25; point <= 32; ++point)
        if (point != GetParam().point && before[point] != 0) {
            EXPECT_EQ(Read(meter, point), before[point]) << point;
        }
}

INSTANTIATE_TEST_SUITE_P(Table, RegisterReset,
                         testing::Values(ResetCase{0, 25}, ResetCase{2, 27}, ResetCase{1, 26},
                                         ResetCase{3, 28}, ResetCase{6, 31}, ResetCase{7, 32},
                                         ResetCase{4, 29}, ResetCase{5, 30}));

TEST(Registers, FixedPointStaysFixedButResets)
{
    sim::MeterCore meter;
    meter.setPoint(25, 123.5f);
    meter.setPoint(7, 230.0f);
    EXPECT_EQ(Read(meter, 25, Hour), 123.5f);
    EXPECT_EQ(Read(meter, 7, 2 * Hour), 230.0f);
    Ask(meter, N2("0124000102"));
    EXPECT_EQ(Read(meter, 25, 3 * Hour), 0.0f);
}

TEST(Settings, ChangedWhileRunningTakeEffect)
{
    sim::MeterCore meter;
    meter.settings().address = 9;
    meter.settings().jumperInstalled = true;
    EXPECT_EQ(Ask(meter, N2("09F")).size(), 6u);
    EXPECT_TRUE(meter.state().jumperInstalled);
    meter.state().address = 3;   // the state is the meter's own; a write to it sticks
    EXPECT_EQ(Ask(meter, N2("03F")).size(), 6u);
}

}  // namespace
