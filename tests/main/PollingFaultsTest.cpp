// Failed requests inside the loop: beep, count, status bar, next cycle; no field changes.
#include "tests/main/MainFixture.h"

#include <QLabel>
#include <algorithm>

namespace {

using PollingFaults = MainFixture;

TEST_F(PollingFaults, ShortStatusReplyFailsEveryCycleWithItsLength)
{
    spoil = [](const Bytes& frame, Bytes& reply) {
        if (FrameKind(frame) == "S")
            reply.resize(27);
    };
    std::vector<QString> counts;
    onFrame = [&counts](const Bytes& frame) {
        if (FrameKind(frame) == "I")
            counts.push_back(FormMain->StatusText(3));
    };
    StopAfterCycles(3);
    Read("1");
    EXPECT_EQ(Kinds(), (std::vector<std::string>{"I", "S", "I", "S", "I", "S"}));
    EXPECT_EQ(counts, (std::vector<QString>{" Error Communication : 0", " Error Communication : 1",
                                            " Error Communication : 2"}));
    EXPECT_EQ(FormMain->StatusText(2), " Status : Error Code [27]");
    EXPECT_EQ(FormMain->StatusText(3), " Error Communication : 3");
    EXPECT_EQ(ui.beeps(), 3);
    EXPECT_EQ(ui.boxes(), 0);
    for (const char* name : {"EditNSerie", "EditTP", "EditU", "EditDS"})
        EXPECT_TRUE(Text(name).isEmpty()) << name;
}

struct Fault {
    const char* name;
    const char* kind;                 // the reply of the first request of this kind is spoilt
    void (*spoil)(Bytes& reply);
    int code;
    std::vector<const char*> untouched;
};

void PrintTo(const Fault& fault, std::ostream* out)
{
    *out << fault.name;
}

class OneBadReply : public MainFixture, public ::testing::WithParamInterface<Fault> {};

TEST_P(OneBadReply, FailsTheCycleWithoutChangingAField)
{
    const Fault& fault = GetParam();
    bool spoilt = false;
    spoil = [&](const Bytes& frame, Bytes& reply) {
        if (!spoilt && FrameKind(frame) == fault.kind) {
            fault.spoil(reply);
            spoilt = true;
        }
    };
    Read("1");
    const std::vector<std::string> all = CycleKinds();
    const auto failed = std::find(all.begin(), all.end(), fault.kind);
    EXPECT_EQ(Kinds(), std::vector<std::string>(all.begin(), failed + 1));
    EXPECT_EQ(FormMain->StatusText(2), QString(" Status : Error Code [%1]").arg(fault.code));
    EXPECT_EQ(FormMain->StatusText(3), " Error Communication : 1");
    EXPECT_EQ(ui.beeps(), 1);
    for (const char* name : fault.untouched)
        EXPECT_TRUE(Text(name).isEmpty()) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, OneBadReply,
    ::testing::Values(
        Fault{"SilentIdentify", "I", [](Bytes& r) { r.clear(); }, -1, {"EditNSerie"}},
        Fault{"NonHexSerialNumber", "S", [](Bytes& r) { r[12] = 'x'; }, -2, {"EditNSerie", "EditTP"}},
        Fault{"LowerCaseErrorCode", "S", [](Bytes& r) { r[23] = 'a'; }, -2, {"EditNSerie"}},
        Fault{"ShortBankRead", "B", [](Bytes& r) { r.resize(12); }, 12, {"EditTP", "EditTC", "EditKE", "EditTL", "EditTI"}},
        Fault{"NonHexPointValue", "P0", [](Bytes& r) { r[5] = 'G'; }, -2, {"EditU"}},
        Fault{"LowerCasePointValue", "P7", [](Bytes& r) { r[10] = 'c'; }, -2, {"EditU1", "EditU2"}},
        Fault{"ShortPointReply", "P25", [](Bytes& r) { r.resize(13); }, 13, {"EditEAPos"}},
        Fault{"ShortInformationRead", "N", [](Bytes& r) { r.resize(2); }, 2, {"EditPartidas"}}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

TEST_F(PollingFaults, BadFirstCharacterAndChecksumAreStillShown)
{
    spoil = [](const Bytes& frame, Bytes& reply) {
        if (FrameKind(frame) == "P0") {
            reply[0] = '#';
            reply[11] = reply[12] = 'Z';
        }
    };
    Read("1");
    EXPECT_EQ(Kinds(), CycleKinds());
    EXPECT_FALSE(Text("EditU").isEmpty());
    EXPECT_EQ(ui.beeps(), 0);
}

TEST_F(PollingFaults, ObjectSeventeenFailsWithoutRestartingTheCycle)
{
    spoil = [](const Bytes& frame, Bytes& reply) {
        if (FrameKind(frame) == "P17")
            reply.resize(13);
    };
    StopAfterCycles(2);
    Read("1");
    std::vector<std::string> twice = CycleKinds();
    const std::vector<std::string> once = CycleKinds();
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(Kinds(), twice);
    EXPECT_EQ(ui.beeps(), 2);
    EXPECT_EQ(FormMain->StatusText(2), " Status : Error Code [13]");
    EXPECT_EQ(FormMain->StatusText(3), " Error Communication : 2");
    EXPECT_TRUE(Text("EditQ2").isEmpty());
    EXPECT_TRUE(FormMain->LabelQ2->text().isEmpty());
    EXPECT_FALSE(Text("EditQ3").isEmpty());
    EXPECT_FALSE(Text("EditPartidas").isEmpty());
}

TEST_F(PollingFaults, NextRunCountsFromZero)
{
    spoil = [](const Bytes& frame, Bytes& reply) {
        if (FrameKind(frame) == "N")
            reply.clear();
    };
    StopAfterCycles(2);
    Read("1");
    EXPECT_EQ(FormMain->StatusText(3), " Error Communication : 2");
    StopAfterCycles(1);
    Read("1");
    EXPECT_EQ(FormMain->StatusText(3), " Error Communication : 1");
    EXPECT_EQ(FormMain->StatusText(2), " Status : Error Code [-1]");
}

}  // namespace
