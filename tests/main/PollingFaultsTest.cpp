// Failed requests inside the loop: beep, count, status bar, next cycle; no field changes.
#include "tests/main/MainFixture.h"

#include "link/Wn2.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Qvtparametros.h"

#include <QApplication>
#include <QLabel>
#include <algorithm>
#include <set>

namespace {

// Every field a cycle writes: measurements with their unit labels, serial number, parameters,
// start counter, and the configuration view's copies.
std::vector<QWidget*> CycleFields()
{
    QStringList edits{"EditU", "EditI", "EditP", "EditQ", "EditFP", "EditS", "EditFreq", "EditEAPos", "EditEANeg",
                      "EditERPos", "EditERNeg", "EditMDA", "EditDA", "EditMDS", "EditDS", "EditNSerie", "EditTP",
                      "EditTC", "EditKE", "EditTL", "EditTI", "EditPartidas"};
    QStringList labels{"LabelU", "LabelI", "LabelP", "LabelQ", "LabelS", "LabelFreq", "LabelEAPos", "LabelEANeg",
                       "LabelERPos", "LabelERNeg", "LabelUniMDA", "LabelUniDA", "LabelUniMDS", "LabelUniDS"};
    QStringList copies{"EditP"};
    for (const QString phase : {"1", "2", "3"}) {
        for (const QString quantity : {"U", "I", "P", "Q", "S", "FP"})
            edits << "Edit" + quantity + phase;
        for (const QString quantity : {"U", "I", "P", "Q", "S"})
            labels << "Label" + quantity + phase;
        for (const QString quantity : {"U", "I", "FP"})
            copies << "Edit" + quantity + phase;
    }
    std::vector<QWidget*> fields;
    for (const QString& name : edits)
        fields.push_back(FormMain->findChild<QLineEdit*>(name));
    for (const QString& name : labels)
        fields.push_back(FormMain->findChild<QLabel*>(name));
    for (const QString& name : copies)
        fields.push_back(FormConfiguracao->findChild<QLineEdit*>(name));
    for (const QWidget* field : fields)
        EXPECT_NE(field, nullptr);
    return fields;
}

// The colour the field's text is drawn in.
QColor TextColour(const QWidget* field)
{
    const QPalette::ColorGroup group = field->isEnabled() ? QPalette::Active : QPalette::Disabled;
    return field->palette().color(group, qobject_cast<const QLineEdit*>(field) ? QPalette::Text : QPalette::WindowText);
}

bool LooksOld(const QWidget* field)
{
    return TextColour(field) == QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

int CountOld(const std::vector<QWidget*>& fields)
{
    return int(std::count_if(fields.begin(), fields.end(), LooksOld));
}

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
    // Only the value the cycles did not get looks old.
    EXPECT_EQ(CountOld(CycleFields()), 2);
    EXPECT_TRUE(LooksOld(Edit("EditQ2")));
    EXPECT_TRUE(LooksOld(FormMain->LabelQ2));
}

// A meter that stops answering leaves its last values on show, looking old from the end of the
// first cycle without them until a cycle or a dialog writes them again.
TEST_F(PollingFaults, ValuesNotRefreshedLookOld)
{
    const std::vector<QWidget*> fields = CycleFields();
    for (const QWidget* field : fields)
        ASSERT_FALSE(LooksOld(field)) << field->objectName().toStdString();
    int cycle = 0;
    std::vector<int> oldAtStart;   // fields looking old as each cycle begins
    onFrame = [&](const Bytes& frame) {
        if (FrameKind(frame) == "I") {
            ++cycle;
            oldAtStart.push_back(CountOld(fields));
        }
    };
    const auto silentIn = [&cycle](std::set<int> silent) {
        return [&cycle, silent](const Bytes&, Bytes& reply) {
            if (silent.count(cycle))
                reply.clear();
        };
    };
    spoil = silentIn({2, 3});
    StopAfterCycles(5);
    Read("1");
    const int all = int(fields.size());
    EXPECT_EQ(oldAtStart, (std::vector<int>{0, 0, all, all, 0}));
    EXPECT_EQ(CountOld(fields), 0);

    // "&Stop" while the meter is silent: the values keep their old look after the run.
    cycle = 0;
    oldAtStart.clear();
    spoil = silentIn({2});
    StopAfterCycles(2);
    Read("1");
    EXPECT_EQ(CountOld(fields), all);
    EXPECT_FALSE(Text("EditU").isEmpty());

    // A dialog that writes values makes those look live again, and only those.
    spoil = nullptr;
    ConfigWriteDelay = 1;
    FormSetParametros->show();
    FormSetParametros->BitBtnAlterarClick();
    ASSERT_FALSE(FormSetParametros->isVisible());
    for (const char* name : {"EditNSerie", "EditTP", "EditTC", "EditKE", "EditTL", "EditTI"})
        EXPECT_FALSE(LooksOld(Edit(name))) << name;
    EXPECT_EQ(CountOld(fields), all - 6);
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
