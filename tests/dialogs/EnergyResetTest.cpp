// The energy reset dialog against a simulated meter.
#include "tests/dialogs/DialogFixture.h"

#include "ui/dialogs/Zerar.h"
#include "ui/main/N2testeqvtmain.h"

namespace {

// Register object of the reset command -> the point the meter shows it on.
int PointOf(int object)
{
    static const int points[8] = {25, 26, 27, 28, 29, 30, 31, 32};
    return points[object];
}

QCheckBox* Box(const std::string& name)
{
    return FormResetEnergy->findChild<QCheckBox*>(QString::fromStdString("CheckBox" + name));
}

class EnergyResetTest : public DialogTest {
protected:
    sim::MeterCore Open(const std::vector<std::string>& ticked)
    {
        sim::MeterCore meter = AddMeter(9, 300);
        FormMain->EditEnd->setText(QStringLiteral("9"));
        FormResetEnergy->show();
        for (const std::string& name : ticked)
            Box(name)->setChecked(true);
        return meter;
    }

    // The write commands on the line, as object numbers; every one a reset to the meter's address.
    std::vector<int> ResetObjects()
    {
        const std::vector<Frame> frames = Frames();
        EXPECT_FALSE(frames.empty());
        if (frames.empty())
            return {};
        EXPECT_EQ(FrameCommand(frames[0]), "F");
        std::vector<int> objects;
        for (size_t i = 1; i < frames.size(); ++i) {
            EXPECT_EQ(FrameCommand(frames[i]), "24");
            EXPECT_EQ(FrameAddress(frames[i]), 9);
            EXPECT_EQ(FrameField(frames[i], 1), 1);
            EXPECT_EQ(FrameField(frames[i], 2), 2);
            objects.push_back(FrameField(frames[i], 0));
        }
        return objects;
    }
};

struct ResetCase {
    const char* name;
    std::vector<std::string> ticked;
    std::vector<int> objects;
};

void PrintTo(const ResetCase& c, std::ostream* os)
{
    *os << c.name;
}

class EnergyResetOrderTest : public EnergyResetTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(EnergyResetOrderTest, SendsTheTickedResetsInFixedOrderAndTheRegistersReadZero)
{
    const ResetCase& c = GetParam();
    sim::MeterCore meter = Open(c.ticked);
    const sim::MeterState before = meter.state();

    FormResetEnergy->ResetClick();

    EXPECT_EQ(ResetObjects(), c.objects);
    for (int object = 0; object < 8; ++object) {
        const bool reset = std::find(c.objects.begin(), c.objects.end(), object) != c.objects.end();
        const float now = meter.state().points[PointOf(object)];
        if (reset)
            EXPECT_EQ(now, 0.0f) << "object " << object;
        else
            EXPECT_EQ(now, before.points[PointOf(object)]) << "object " << object;
    }
    ASSERT_EQ(recorder.boxes(), 1);
    EXPECT_EQ(recorder.lastBox()->text, QStringLiteral("Energy register(s) restarted."));
    EXPECT_EQ(recorder.lastBox()->title, QStringLiteral("Message"));
    EXPECT_EQ(recorder.lastBox()->icon, BoxIcon::Information);
    EXPECT_EQ(recorder.lastBox()->cursor, CursorState::Arrow);   // shown while the hourglass is set
    EXPECT_FALSE(FormResetEnergy->isVisible());
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);

    FormResetEnergy->show();
    for (const std::string& name : c.ticked)
        EXPECT_FALSE(Box(name)->isChecked()) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, EnergyResetOrderTest,
    ::testing::Values(ResetCase{"All", {"MDA", "DA", "MDS", "DS", "EAPos", "ERPos", "EANeg", "ERNeg"}, {0, 2, 1, 3, 6, 7, 4, 5}},
                      ResetCase{"DAOnly", {"DA"}, {5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EnergyResetTest, FailureOnTheThirdOfFourRowsSendsNothingAfterIt)
{
    const std::vector<std::string> ticked{"EAPos", "EANeg", "ERPos", "ERNeg"};
    sim::MeterCore meter = Open(ticked);
    const sim::MeterState before = meter.state();
    tamper = [](const Frame&, int index, std::vector<uint8_t>& reply) {
        if (index == 3)
            reply.clear();
    };

    FormResetEnergy->ResetClick();

    EXPECT_EQ(ResetObjects(), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(meter.state().points[PointOf(0)], 0.0f);
    EXPECT_EQ(meter.state().points[PointOf(2)], 0.0f);
    EXPECT_EQ(meter.state().points[PointOf(3)], before.points[PointOf(3)]);
    ASSERT_EQ(recorder.boxes(), 1);
    EXPECT_EQ(recorder.lastBox()->title, QStringLiteral("Error"));
    EXPECT_EQ(recorder.lastBox()->icon, BoxIcon::Critical);
    EXPECT_TRUE(FormResetEnergy->isVisible());
    for (const std::string& name : ticked)
        EXPECT_TRUE(Box(name)->isChecked()) << name;
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
}

}  // namespace
