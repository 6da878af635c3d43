// The shared meter steps and the polling cycle on a simulated meter behind a scripted line,
// without any form: the reply rules, the codes each outcome carries, and what reaches the line.
#include "LinkFixture.h"

#include "link/MeterSteps.h"
#include "link/PollingCycle.h"
#include "sim/MeterCore.h"

#include <QElapsedTimer>

#include <functional>
#include <string>

namespace {

using Kind = StepOutcome::Kind;
using Frame = std::vector<uint8_t>;

constexpr uint32_t MeterSerial = 1234567;

sim::MeterSettings Meter(bool jumperInstalled)
{
    sim::MeterSettings settings;
    settings.serialNumber = MeterSerial;
    settings.statusCode = 0x0102;
    settings.jumperInstalled = jumperInstalled;
    settings.noNoise = true;
    settings.frozenEnergies = true;
    return settings;
}

bool IsN2(const Frame& frame, const char* command)
{
    return frame.size() > 4 && frame[0] == '>' && std::string(frame.begin() + 3, frame.begin() + 5).starts_with(command);
}

bool IsConfig(const Frame& frame, char kind, char operation)
{
    return frame.size() > 6 && frame[0] == '!' && frame[5] == kind && frame[6] == operation;
}

// A meter core answering every frame the link sends; a test may keep a frame from it, silence
// its reply or change the reply on the way.
class MeterSteps : public FakeLinkTest {
protected:
    void SetUp() override
    {
        FakeLinkTest::SetUp();
        ConfigWriteDelay = 0;
        line_.setResponder([this](const Frame& frame) -> FakeLine::Reply {
            if (ignore && ignore(frame))
                return {};
            nowMs_ += 20;
            auto replies = meter.feed(frame.data(), frame.size(), nowMs_);
            if (replies.empty() || (silence && silence(frame)))
                return {};
            if (alter)
                alter(frame, replies.front());
            return {FakeLine::Chunk{0, replies.front()}};
        });
    }

    sim::MeterCore meter{Meter(true)};
    std::function<bool(const Frame&)> ignore;    // the meter never sees it
    std::function<bool(const Frame&)> silence;   // the meter sees it but its reply is lost
    std::function<void(const Frame&, Frame&)> alter;

private:
    double nowMs_ = 0;
};

struct ReplyCase {
    const char* name;
    std::function<void(Frame&)> change;   // applied to the status and point replies
    Kind kind;
    int code;
};

void PrintTo(const ReplyCase& c, std::ostream* os)
{
    *os << c.name;
}

class N2ReplyRules : public MeterSteps, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(N2ReplyRules, StatusAndPointRepliesFollowOneRule)
{
    const ReplyCase& c = GetParam();
    alter = [&c](const Frame& frame, Frame& reply) {
        if (IsN2(frame, "09") || IsN2(frame, "11"))
            c.change(reply);
    };
    N2Status status{-7, 7};
    const StepOutcome statusRead = ReadStatus(1, status);
    EXPECT_EQ(statusRead.kind, c.kind);
    EXPECT_EQ(statusRead.code, c.code);
    if (statusRead.confirmed()) {
        EXPECT_EQ(status.serialNumber, int32_t(MeterSerial));
        EXPECT_EQ(status.errorCode, 0x0102);
    }
    float value = 42;
    const StepOutcome pointRead = ReadPoint(1, PollingPoints[0], value);
    EXPECT_EQ(pointRead.kind, c.kind);
    EXPECT_EQ(pointRead.code, c.code);
    EXPECT_EQ(value == 42, !pointRead.confirmed());
}

INSTANTIATE_TEST_SUITE_P(Replies, N2ReplyRules, ::testing::Values(
    ReplyCase{"Clean", [](Frame&) {}, Kind::Confirmed, 0},
    ReplyCase{"Silence", [](Frame& r) { r.clear(); }, Kind::NoAnswer, -1},
    ReplyCase{"CutAfterFive", [](Frame& r) { r.resize(5); }, Kind::ShortReply, 5},
    ReplyCase{"OneCharacterLong", [](Frame& r) { r.push_back('0'); }, Kind::Confirmed, 0},
    ReplyCase{"LowerCaseField", [](Frame& r) { r[10] = 'a'; }, Kind::GarbledReply, -2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MeterSteps, TheSerialNumberAloneIgnoresAGarbledStatusCode)
{
    alter = [](const Frame&, Frame& reply) { reply[22] = 'x'; };
    N2Status status{};
    EXPECT_EQ(ReadStatus(1, status).kind, Kind::GarbledReply);
    int32_t serialNumber = 0;
    EXPECT_TRUE(ReadSerialNumber(1, serialNumber).confirmed());
    EXPECT_EQ(serialNumber, int32_t(MeterSerial));
}

TEST_F(MeterSteps, IdentifyTakesAnyAnswer)
{
    alter = [](const Frame&, Frame& reply) { reply.resize(1); };
    EXPECT_TRUE(Identify(1).confirmed());
    const StepOutcome silent = Identify(9);
    EXPECT_EQ(silent.kind, Kind::NoAnswer);
    EXPECT_EQ(silent.code, -1);
}

Frame Bank(const uint8_t* bank, int size)
{
    return Frame(bank, bank + size);
}

TEST_F(MeterSteps, BlockReadsDecodeTheMetersBlocksAndRefuseACutOne)
{
    ParameterBlock parameters;
    ASSERT_TRUE(ReadParameters(MeterSerial, parameters).confirmed());
    const ParameterBlock::Bytes parameterBytes = parameters.Encode();
    EXPECT_EQ(Frame(parameterBytes.begin(), parameterBytes.end()), Bank(meter.state().bank2, ParameterBlock::Size));
    EXPECT_EQ(parameters.tp, 1.0f);

    CalibrationBlock calibration;
    ASSERT_TRUE(ReadCalibration(MeterSerial, calibration).confirmed());
    const CalibrationBlock::Bytes calibrationBytes = calibration.Encode();
    EXPECT_EQ(Frame(calibrationBytes.begin(), calibrationBytes.end()), Bank(meter.state().bank1, CalibrationBlock::Size));

    // The leading byte and all but the last block byte: short, with its count.
    alter = [](const Frame&, Frame& reply) { reply.resize(CalibrationBlock::Size); };
    const StepOutcome cut = ReadCalibration(MeterSerial, calibration);
    EXPECT_EQ(cut.kind, Kind::ShortReply);
    EXPECT_EQ(cut.code, CalibrationBlock::Size);
    alter = nullptr;
    ignore = [](const Frame&) { return true; };
    const StepOutcome silent = ReadParameters(MeterSerial, parameters);
    EXPECT_EQ(silent.kind, Kind::NoAnswer);
    EXPECT_EQ(silent.code, -1);
}

TEST_F(MeterSteps, StartsCounterFromTheInformationRead)
{
    uint16_t starts = 0;
    ASSERT_TRUE(ReadStarts(MeterSerial, starts).confirmed());
    EXPECT_EQ(starts, meter.state().startCounter);
}

struct WriteCase {
    const char* name;
    std::function<StepOutcome()> write;
    std::function<bool(const Frame&)> isWrite;
    std::function<bool(const Frame&)> isReadBack;
    Kind whenIgnored;   // the meter never sees the write
};

void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << c.name;
}

ParameterBlock NewParameters()
{
    return {2.5f, 0.5f, 4660, 200, 59};
}

CalibrationBlock NewCalibration()
{
    CalibrationBlock calibration;
    calibration.values = {1.5f, -1.5f, 1.0f, 0.25f, -2.0f, 3.0f, 7.5f, -0.5f};
    return calibration;
}

std::vector<WriteCase> WriteCases()
{
    const auto readBlock = [](const Frame& f) { return IsConfig(f, 'R', '2'); };
    return {
        {"Parameters", [] { return WriteParameters(MeterSerial, NewParameters()); },
         [](const Frame& f) { return IsConfig(f, 'W', '2'); }, readBlock, Kind::NotConfirmed},
        {"Calibration", [] { return WriteCalibration(MeterSerial, NewCalibration()); },
         [](const Frame& f) { return IsConfig(f, 'W', '2'); }, readBlock, Kind::NotConfirmed},
        {"SerialNumber", [] { return WriteSerialNumber(7654321); }, [](const Frame& f) { return IsConfig(f, 'W', '0'); },
         [](const Frame& f) { return IsConfig(f, 'R', '0'); }, Kind::NotConfirmed},
        // Nothing answers at the new address when the meter did not move.
        {"Address", [] { return WriteAddress(MeterSerial, 5); }, [](const Frame& f) { return IsConfig(f, 'W', '1'); },
         [](const Frame& f) { return IsN2(f, "09"); }, Kind::NoAnswer},
    };
}

class WriteSteps : public MeterSteps, public ::testing::WithParamInterface<WriteCase> {
protected:
    void ExpectOutcome(Kind kind, int code, size_t frames)
    {
        const StepOutcome outcome = GetParam().write();
        EXPECT_EQ(outcome.kind, kind);
        EXPECT_EQ(outcome.code, code);
        EXPECT_EQ(line_.frames().size(), frames);
    }
};

TEST_P(WriteSteps, AcceptedWriteIsReadBackUnchanged)
{
    ExpectOutcome(Kind::Confirmed, 0, 2);
    ASSERT_EQ(line_.frames().size(), 2u);
    EXPECT_TRUE(GetParam().isWrite(line_.frames()[0]));
    EXPECT_TRUE(GetParam().isReadBack(line_.frames()[1]));
}

TEST_P(WriteSteps, IgnoredWriteIsNotConfirmed)
{
    const WriteCase& c = GetParam();
    ignore = c.isWrite;
    ExpectOutcome(c.whenIgnored, c.whenIgnored == Kind::NoAnswer ? -1 : 0, 2);
}

TEST_P(WriteSteps, SilentReadBackIsNoAnswer)
{
    silence = GetParam().isReadBack;
    ExpectOutcome(Kind::NoAnswer, -1, 2);
}

TEST_P(WriteSteps, CutReadBackIsNotConfirmed)
{
    const WriteCase& c = GetParam();
    alter = [&c](const Frame& frame, Frame& reply) {
        if (c.isReadBack(frame))
            reply.resize(4);
    };
    ExpectOutcome(Kind::NotConfirmed, 0, 2);
}

TEST_P(WriteSteps, FailedSendEndsTheStepBeforeTheWaitAndTheReadBack)
{
    ConfigWriteDelay = 10000;
    line_.failNextWrites(1);
    ExpectOutcome(Kind::SendFailed, -1, 1);
}

INSTANTIATE_TEST_SUITE_P(AllWrites, WriteSteps, ::testing::ValuesIn(WriteCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MeterSteps, ReadBackWaitsConfigWriteDelayAfterTheWrite)
{
    ConfigWriteDelay = 60;
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(WriteParameters(MeterSerial, NewParameters()).confirmed());
    EXPECT_GE(clock.elapsed(), 60);
}

// What a cycle hands over, in order, as text.
class CycleRecord : public CycleReader {
public:
    std::vector<std::string> events;
    int points = 0;

    void StatusRead(const N2Status& status) override
    {
        events.push_back("status " + std::to_string(status.serialNumber) + " " + std::to_string(status.errorCode));
    }
    void ParametersRead(const ParameterBlock& parameters) override
    {
        events.push_back("parameters KE " + std::to_string(parameters.ke));
    }
    void PointRead(const MeterPoint&, float) override { ++points; }
    void StartsRead(uint16_t starts) override { events.push_back("starts " + std::to_string(starts)); }
    void RequestFailed(CycleRequest request, const MeterPoint* point, const StepOutcome& outcome) override
    {
        events.push_back("failed " + std::to_string(int(request)) + " object " + std::to_string(point ? point->object : -1)
                         + " code " + std::to_string(outcome.code));
    }
};

int PointObject(const Frame& frame)
{
    return N2ParseHexByte(frame.data() + 5);
}

TEST_F(MeterSteps, ACycleReadsEverythingInItsOrder)
{
    CycleRecord record;
    RunPollingCycle(1, record);
    EXPECT_EQ(record.events, (std::vector<std::string>{"status 1234567 258", "parameters KE 1000", "starts 17"}));
    EXPECT_EQ(record.points, 33);
    const auto frames = line_.frames();
    ASSERT_EQ(frames.size(), 37u);
    EXPECT_TRUE(IsN2(frames[0], "F"));
    EXPECT_TRUE(IsN2(frames[1], "09"));
    EXPECT_TRUE(IsConfig(frames[2], 'R', '2'));
    std::vector<int> objects;
    for (size_t i = 3; i < 36; ++i)
        objects.push_back(PointObject(frames[i]));
    EXPECT_EQ(objects, (std::vector<int>{0, 1, 5, 4, 2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                         20, 21, 22, 23, 24, 25, 27, 26, 28, 29, 30, 31, 32}));
    EXPECT_TRUE(IsConfig(frames[36], 'R', '3'));
}

struct CycleFault {
    const char* name;
    std::function<bool(const Frame&)> hit;
    bool cut;   // cut the reply to 5 bytes instead of losing it
    std::string failure;
    size_t frames;
    int points;
    bool startsRead;
};

void PrintTo(const CycleFault& c, std::ostream* os)
{
    *os << c.name;
}

bool IsPoint(const Frame& frame, int object)
{
    return IsN2(frame, "11") && PointObject(frame) == object;
}

class CycleFaults : public MeterSteps, public ::testing::WithParamInterface<CycleFault> {};

TEST_P(CycleFaults, AFailureEndsTheCycleExceptAtReactivePowerL2)
{
    const CycleFault& c = GetParam();
    if (c.cut)
        alter = [&c](const Frame& frame, Frame& reply) {
            if (c.hit(frame))
                reply.resize(5);
        };
    else
        silence = c.hit;
    CycleRecord record;
    RunPollingCycle(1, record);
    EXPECT_EQ(std::count(record.events.begin(), record.events.end(), c.failure), 1);
    EXPECT_EQ(line_.frames().size(), c.frames);
    EXPECT_EQ(record.points, c.points);
    EXPECT_EQ(record.events.back() == "starts 17", c.startsRead);
}

INSTANTIATE_TEST_SUITE_P(Faults, CycleFaults, ::testing::Values(
    CycleFault{"IdentifySilent", [](const Frame& f) { return IsN2(f, "F"); }, false, "failed 0 object -1 code -1", 1, 0, false},
    CycleFault{"StatusCut", [](const Frame& f) { return IsN2(f, "09"); }, true, "failed 1 object -1 code 5", 2, 0, false},
    CycleFault{"ParametersCut", [](const Frame& f) { return IsConfig(f, 'R', '2'); }, true, "failed 2 object -1 code 5", 3, 0, false},
    CycleFault{"ActivePowerSilent", [](const Frame& f) { return IsPoint(f, 5); }, false, "failed 3 object 5 code -1", 6, 2, false},
    CycleFault{"ReactivePowerL2Cut", [](const Frame& f) { return IsPoint(f, 17); }, true, "failed 3 object 17 code 5", 37, 32, true},
    CycleFault{"StartsSilent", [](const Frame& f) { return IsConfig(f, 'R', '3'); }, false, "failed 4 object -1 code -1", 37, 33, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
