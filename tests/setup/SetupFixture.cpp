#include "SetupFixture.h"

#include "link/Wn2.h"
#include "ui/main/N2testeqvtmain.h"
#include "ui/main/Startup.h"

sim::MeterSettings QuietMeter(bool jumperInstalled)
{
    sim::MeterSettings settings;
    settings.address = 1;
    settings.serialNumber = MeterSerial;
    settings.jumperInstalled = jumperInstalled;
    settings.noNoise = true;
    settings.frozenEnergies = true;
    return settings;
}

void DisconnectLine()
{
    N2ClosePort();
    N2UseLine(nullptr);
}

ScriptedMeter::ScriptedMeter(const sim::MeterSettings& settings)
    : core(settings)
{
    line.setResponder([this](const Bytes& frame) -> FakeLine::Reply {
        if (ignore && ignore(frame))
            return {};
        nowMs_ += 20;
        const auto replies = core.feed(frame.data(), frame.size(), nowMs_);
        if (replies.empty())
            return {};
        Bytes reply = replies.front();
        if (alter)
            alter(frame, reply);
        return {FakeLine::Chunk{0, reply}};
    });
}

ScriptedMeter::~ScriptedMeter()
{
    DisconnectLine();
}

void SetupTest::SetUpTestSuite()
{
    if (FormMain)
        return;
    // The main window opens its port on construction: give it a line that is not a real one.
    static FakeLine startLine;
    N2UseLine(&startLine);
    CreateAllForms();
}

void SetupTest::SetUp()
{
    previousLocale_ = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    InstallUiRecorder(&ui);
    StopFlag = 0;
}

void SetupTest::TearDown()
{
    configWritesTaken_.reset();
    DisconnectLine();
    InstallUiRecorder(nullptr);
    QLocale::setDefault(previousLocale_);
}

void SetupTest::Connect(sim::PtyMeter& meter)
{
    configWritesTaken_.reset();   // before the next one takes the hook
    DisconnectLine();
    configWritesTaken_ = std::make_unique<MeterTakesConfigWrites>(meter);
    ASSERT_EQ(N2OpenPort(QString::fromStdString(meter.path()), 9600), 1);
    ConfigWriteDelay = 1;
    CommandDelay = 1;
}

void SetupTest::Connect(ScriptedMeter& meter)
{
    configWritesTaken_.reset();
    DisconnectLine();
    N2UseLine(&meter.line);
    ASSERT_EQ(N2OpenPort("COM1", 9600), 1);
    ConfigWriteDelay = 1;
    CommandDelay = 1;
}

void SetupTest::ExpectLastBox(const QString& text, const QString& title, BoxIcon icon) const
{
    const UiEvent* box = ui.lastBox();
    ASSERT_NE(box, nullptr) << "no box shown";
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->title, title);
    EXPECT_EQ(box->icon, icon);
}

Bytes Slice(const uint8_t* bytes, int start, int count)
{
    return Bytes(bytes + start, bytes + start + count);
}

int CountFrames(const std::vector<Bytes>& frames, char kind, char operation)
{
    int count = 0;
    for (const Bytes& frame : frames)
        count += frame.size() >= 8 && frame[0] == '!' && frame[5] == kind && frame[6] == operation;
    return count;
}
