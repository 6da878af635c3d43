// The address scan against simulated meters and a silent line.
#include "tests/dialogs/DialogFixture.h"

#include <QTimer>

#include <algorithm>

#include "link/Wn2.h"
#include "sim/PtyMeter.h"
#include "ui/dialogs/Descobrirend.h"
#include "ui/main/N2testeqvtmain.h"

namespace {

const QString NotFoundText = QStringLiteral(
    "Could not find the device address. Make sure there is only on device on the N2 network and try again. ");

std::vector<int> Addresses(const std::vector<Frame>& frames)
{
    std::vector<int> addresses;
    for (const Frame& frame : frames) {
        EXPECT_EQ(FrameCommand(frame), "F");
        addresses.push_back(FrameAddress(frame));
    }
    return addresses;
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> range;
    for (int a = first; first <= last ? a <= last : a >= last; a += first <= last ? 1 : -1)
        range.push_back(a);
    return range;
}

class AddressScanTest : public DialogTest {
protected:
    void Scan(int order)
    {
        FormMain->EditEnd->setText(QStringLiteral("7"));
        FormDescobrirEnd->show();
        FormDescobrirEnd->SetRadioGroupOrdemIndex(order);
        FormDescobrirEnd->ButtonDescobrirClick();
    }
};

struct ScanCase {
    const char* name;
    int meterAddress;   // 0: no meter on the line
    int order;          // 0 increasing, 1 decreasing
    int lastTried;
};

void PrintTo(const ScanCase& c, std::ostream* os)
{
    *os << c.name;
}

class AddressScanOrderTest : public AddressScanTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(AddressScanOrderTest, TriesEachAddressOnceUntilTheMeterAnswersTwice)
{
    const ScanCase& c = GetParam();
    if (c.meterAddress)
        AddMeter(c.meterAddress, 300);

    Scan(c.order);

    std::vector<int> tried = Range(c.order == 0 ? 1 : 255, c.lastTried);
    if (c.meterAddress)
        tried.push_back(c.meterAddress);   // the answer confirmed
    EXPECT_EQ(Addresses(Frames()), tried);
    const QString last = QString::number(c.lastTried);
    EXPECT_EQ(FormDescobrirEnd->EditEnd->text(), last);
    EXPECT_EQ(FormMain->EditEnd->text(), c.meterAddress ? last : QStringLiteral("7"));
    if (c.meterAddress) {
        EXPECT_EQ(recorder.boxes(), 0);
    } else {
        ASSERT_EQ(recorder.boxes(), 1);
        EXPECT_EQ(recorder.lastBox()->text, NotFoundText);
        EXPECT_EQ(recorder.lastBox()->title, QStringLiteral("Error"));
        EXPECT_EQ(recorder.lastBox()->icon, BoxIcon::Critical);
        EXPECT_EQ(recorder.lastBox()->cursor, CursorState::Arrow);
        EXPECT_EQ(recorder.beeps(), 1);
    }
    EXPECT_TRUE(FormDescobrirEnd->isVisible());
    EXPECT_TRUE(FormDescobrirEnd->ButtonDescobrir->isEnabled());
    EXPECT_TRUE(FormDescobrirEnd->RadioGroupOrdem->isEnabled());
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
}

INSTANTIATE_TEST_SUITE_P(Orders, AddressScanOrderTest,
                         ::testing::Values(ScanCase{"At1Increasing", 1, 0, 1}, ScanCase{"At200Increasing", 200, 0, 200},
                                           ScanCase{"At200Decreasing", 200, 1, 200},
                                           ScanCase{"NoneIncreasing", 0, 0, 255}, ScanCase{"NoneDecreasing", 0, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A meter whose reply comes after the read time-out is heard in the read of the next address
// tried. Asked again, that address stays silent: the meter is not found rather than misnamed.
class LateMeterScanTest : public AddressScanTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        AddressScanTest::SetUp();
        N2UseLine(nullptr);
    }
    void TearDown() override
    {
        N2ClosePort();
        N2UseLine(line);
        AddressScanTest::TearDown();
    }
};

TEST_P(LateMeterScanTest, IsNeverNamedByItsNeighbour)
{
    const int order = GetParam();
    constexpr int MeterAddress = 5;
    sim::MeterSettings settings;
    settings.address = MeterAddress;
    // The identify read gives up after 70 ms; this reply lands about 30 ms into the next read.
    settings.faults.turnaroundMs = 110;
    sim::PtyMeter meter(settings);
    ASSERT_EQ(N2OpenPort(QString::fromStdString(meter.path()), 9600), 1);

    Scan(order);

    EXPECT_EQ(FormMain->EditEnd->text(), QStringLiteral("7"));
    ASSERT_EQ(recorder.boxes(), 1);
    EXPECT_EQ(recorder.lastBox()->text, NotFoundText);
    EXPECT_EQ(FormDescobrirEnd->EditEnd->text(), order == 0 ? QStringLiteral("255") : QStringLiteral("1"));
    // The late reply was heard by the neighbour, which was asked a second time.
    const int neighbour = order == 0 ? MeterAddress + 1 : MeterAddress - 1;
    const std::vector<int> asked = Addresses(meter.frames());
    EXPECT_EQ(std::count(asked.begin(), asked.end(), neighbour), 2);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), MeterAddress), 1);
}

INSTANTIATE_TEST_SUITE_P(Orders, LateMeterScanTest, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 0 ? "Increasing" : "Decreasing"; });

// However the dialog goes away during a scan, the scan ends with the request in progress.
struct StopCase {
    const char* name;
    std::function<void()> close;
};

void PrintTo(const StopCase& c, std::ostream* os)
{
    *os << c.name;
}

class AddressScanStopTest : public AddressScanTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(AddressScanStopTest, StopsWithNoFurtherFrame)
{
    const StopCase& c = GetParam();
    constexpr int StopAfter = 10;
    tamper = [&c](const Frame&, int index, std::vector<uint8_t>&) {
        if (index == StopAfter - 1)
            QTimer::singleShot(0, FormDescobrirEnd, c.close);
    };

    Scan(0);

    EXPECT_EQ(Addresses(Frames()), Range(1, StopAfter));
    EXPECT_EQ(StopFlag, 2);
    EXPECT_FALSE(FormDescobrirEnd->isVisible());
    EXPECT_EQ(FormMain->EditEnd->text(), QStringLiteral("7"));
    EXPECT_EQ(recorder.boxes(), 0);
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);

    FormDescobrirEnd->SetRadioGroupOrdemIndex(1);
    FormDescobrirEnd->show();
    EXPECT_TRUE(FormDescobrirEnd->ButtonDescobrir->isEnabled());
    EXPECT_TRUE(FormDescobrirEnd->RadioGroupOrdem->isEnabled());
    EXPECT_EQ(FormDescobrirEnd->RadioGroupOrdemIndex(), 0);
    EXPECT_TRUE(FormDescobrirEnd->EditEnd->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Closers, AddressScanStopTest,
                         ::testing::Values(StopCase{"CloseButton", [] { FormDescobrirEnd->ButtonCancel->click(); }},
                                           StopCase{"Reject", [] { FormDescobrirEnd->reject(); }},
                                           StopCase{"WindowClose", [] { FormDescobrirEnd->close(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
