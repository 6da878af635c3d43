// The config dialect of the simulated meter: raw frames addressed by serial number, whose
// bytes may be CR or '!', and the jumper that guards calibration, serial number and delta.

#include "tests/sim/MeterTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace simtest;

namespace {

// Serial number whose bytes are CR, '!', '!', CR: the frame must be cut by length, not by CR.
constexpr uint32_t Awkward = 0x0D21210D;

sim::MeterSettings Meter(bool jumper, uint32_t serial = Awkward)
{
    sim::MeterSettings s;
    s.serialNumber = serial;
    s.jumperInstalled = jumper;
    s.noNoise = true;
    return s;
}

Bytes BlockWrite(uint32_t serial, uint8_t bank, uint8_t start, const Bytes& data)
{
    Bytes fields{bank, start, uint8_t(data.size())};
    fields.insert(fields.end(), data.begin(), data.end());
    return Cfg(serial, "W2", fields);
}

Bytes Block(const sim::MeterState& s, int bank, int start, int count)
{
    const uint8_t* base = (bank == 1 ? s.bank1 : s.bank2) + start;
    return Bytes(base, base + count);
}

TEST(ConfigFrame, SerialNumberReadAnsweredWhateverTheSerialField)
{
    sim::MeterCore meter(Meter(false));
    for (uint32_t field : {0u, 0x12345678u}) {
        const Bytes reply = Ask(meter, Cfg(field, "R0"));
        ASSERT_GE(reply.size(), 5u);
        EXPECT_EQ(Bytes(reply.begin() + 1, reply.begin() + 5), (Bytes{0x0D, 0x21, 0x21, 0x0D}));
    }
}

TEST(ConfigFrame, BlockReadCarriesBankBytesAfterOneLeadingByte)
{
    sim::MeterCore meter(Meter(false));
    // Default parameter block: TP 1.0, TC 5.0, KE 1000, TL 10, TI 15.
    const Bytes parameters{0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0xA0, 0x40, 0xE8, 0x03, 0x0A, 0x0F};
    const Bytes reply = Ask(meter, Cfg(Awkward, "R2", {2, 0, 12}));
    ASSERT_EQ(reply.size(), 13u);
    EXPECT_EQ(Bytes(reply.begin() + 1, reply.end()), parameters);
    // Start 13 (a CR) and count 33 (a '!') inside the frame.
    const Bytes tail = Ask(meter, Cfg(Awkward, "R2", {1, 0x0D, 0x21}));
    ASSERT_EQ(tail.size(), 34u);
    EXPECT_EQ(Bytes(tail.begin() + 1, tail.end()), Block(meter.state(), 1, 13, 33));
}

TEST(ConfigFrame, InformationReadStartsWithStartCounter)
{
    sim::MeterSettings s = Meter(false);
    s.startCounter = 0x0D21;
    sim::MeterCore meter(s);
    const Bytes reply = Ask(meter, Cfg(Awkward, "R3"));
    ASSERT_GE(reply.size(), 3u);
    EXPECT_EQ(reply[1], 0x0D);
    EXPECT_EQ(reply[2], 0x21);
}

TEST(ConfigFrame, BlockWriteWithCrAndBangReadsBack)
{
    sim::MeterCore meter(Meter(true));
    const Bytes data{0x0D, '!', '>', 0x0D, 0x00, 0xFF, 0x21, 0x0D, 0x01, 0x02, 0x0D, '!'};
    EXPECT_TRUE(Ask(meter, BlockWrite(Awkward, 2, 0, data)).empty());
    const Bytes reply = Ask(meter, Cfg(Awkward, "R2", {2, 0, 12}));
    EXPECT_EQ(Bytes(reply.begin() + 1, reply.end()), data);
}

TEST(ConfigFrame, EmptyBlockWriteIsElevenBytesAndChangesNothing)
{
    sim::MeterCore meter(Meter(true));
    const sim::MeterState before = meter.state();
    const Bytes frame = BlockWrite(Awkward, 2, 0, {});
    ASSERT_EQ(frame.size(), 11u);
    Ask(meter, frame);
    ASSERT_EQ(meter.exchanges().size(), 1u);
    EXPECT_EQ(std::memcmp(before.bank2, meter.state().bank2, sizeof before.bank2), 0);
    // The next frame is still recognised.
    EXPECT_EQ(Ask(meter, Cfg(0, "R0")).size(), 5u);
}

TEST(ConfigFrame, NewAddressAnswersAndOldDoesNot)
{
    sim::MeterCore meter(Meter(false));
    EXPECT_TRUE(Ask(meter, Cfg(Awkward, "W1", {0x0D})).empty());
    EXPECT_EQ(meter.state().address, 13);
    EXPECT_EQ(Ask(meter, N2("0DF")).size(), 6u);
    EXPECT_TRUE(Ask(meter, N2("01F")).empty());
}

TEST(ConfigFrame, AddressZeroRefused)
{
    sim::MeterCore meter(Meter(false));
    Ask(meter, Cfg(Awkward, "W1", {0}));
    EXPECT_EQ(meter.state().address, 1);
}

struct SerialWriteCase {
    bool jumper;
    uint32_t expected;
};

void PrintTo(const SerialWriteCase& c, std::ostream* out) { *out << (c.jumper ? "jumper" : "no jumper"); }

class SerialNumberWrite : public testing::TestWithParam<SerialWriteCase> {};

TEST_P(SerialNumberWrite, TakenOnlyWithJumperNeverAnswered)
{
    sim::MeterCore meter(Meter(GetParam().jumper, 300));
    EXPECT_TRUE(Ask(meter, Cfg(0xFFFFFFFF, "W0")).empty());
    EXPECT_EQ(meter.state().serialNumber, GetParam().expected);
    const Bytes reply = Ask(meter, Cfg(0, "R0"));
    const uint32_t readBack = uint32_t(reply[1]) << 24 | reply[2] << 16 | reply[3] << 8 | reply[4];
    EXPECT_EQ(readBack, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Jumper, SerialNumberWrite,
                         testing::Values(SerialWriteCase{true, 0xFFFFFFFF},
                                         SerialWriteCase{false, 300}));

// Each guarded change with and without the jumper; true when it took effect.
struct GuardCase {
    const char* name;
    bool jumper;
    bool takes;
    Bytes request;
    bool (*changed)(const sim::MeterState&);
};

const Bytes Calibration(18, 0x5A);
const Bytes Parameters(12, 0xA5);

bool CalibrationChanged(const sim::MeterState& s) { return Block(s, 1, 0, 18) == Calibration; }
bool ParametersChanged(const sim::MeterState& s) { return Block(s, 2, 0, 12) == Parameters; }
bool AddressChanged(const sim::MeterState& s) { return s.address == 42; }
bool DeltaChanged(const sim::MeterState& s) { return s.delta == 4464; }
bool BankEndChanged(const sim::MeterState& s) { return s.bank2[250] == Parameters[0]; }

void PrintTo(const GuardCase& c, std::ostream* out) { *out << c.name; }

class JumperGuard : public testing::TestWithParam<GuardCase> {};

TEST_P(JumperGuard, ChangeTakenOrRefused)
{
    sim::MeterCore meter(Meter(GetParam().jumper));
    Ask(meter, GetParam().request);
    EXPECT_EQ(GetParam().changed(meter.state()), GetParam().takes);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, JumperGuard,
    testing::Values(
        GuardCase{"CalibrationWithJumper", true, true, BlockWrite(Awkward, 1, 0, Calibration), CalibrationChanged},
        GuardCase{"CalibrationWithout", false, false, BlockWrite(Awkward, 1, 0, Calibration), CalibrationChanged},
        GuardCase{"ParametersWithout", false, true, BlockWrite(Awkward, 2, 0, Parameters), ParametersChanged},
        GuardCase{"AddressWithout", false, true, Cfg(Awkward, "W1", {42}), AddressChanged},
        GuardCase{"DeltaWithJumper", true, true, N2("0126" + Hex(2) + Hex(4464, 4)), DeltaChanged},
        GuardCase{"DeltaWithout", false, false, N2("0126" + Hex(2) + Hex(4464, 4)), DeltaChanged},
        GuardCase{"ParametersOtherSerial", true, false, BlockWrite(Awkward + 1, 2, 0, Parameters), ParametersChanged},
        GuardCase{"CalibrationOtherSerial", true, false, BlockWrite(Awkward + 1, 1, 0, Calibration), CalibrationChanged},
        GuardCase{"AddressOtherSerial", true, false, Cfg(Awkward + 1, "W1", {42}), AddressChanged},
        GuardCase{"BlockPastBankEnd", true, false, BlockWrite(Awkward, 2, 250, Parameters), BankEndChanged}),
    [](const auto& info) { return info.param.name; });

TEST(ConfigFrame, ReadsForAnotherSerialNumberStaySilent)
{
    sim::MeterCore meter(Meter(true));
    for (const Bytes& request : {Cfg(Awkward + 1, "R2", {2, 0, 12}), Cfg(Awkward + 1, "R3"),
                                 Cfg(Awkward, "R2", {3, 0, 12}), Cfg(Awkward, "R2", {2, 250, 12})})
        EXPECT_TRUE(Ask(meter, request).empty());
    EXPECT_EQ(meter.exchanges().size(), 4u);
}

TEST(ConfigFrame, UnknownOperationIsSkippedAndStreamRecovers)
{
    sim::MeterCore meter(Meter(false));
    Bytes stream = Cfg(Awkward, "X9");
    const Bytes next = N2("01F");
    stream.insert(stream.end(), next.begin(), next.end());
    const auto replies = meter.feed(stream.data(), stream.size(), 0);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].size(), 6u);
}

}  // namespace
