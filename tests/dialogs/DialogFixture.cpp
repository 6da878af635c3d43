#include "tests/dialogs/DialogFixture.h"

#include <QCoreApplication>
#include <algorithm>
#include <QWidget>

#include "link/N2Decode.h"
#include "link/Wn2.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteraporta.h"
#include "ui/dialogs/Descobrirend.h"
#include "ui/dialogs/Sobre.h"
#include "ui/dialogs/Zerar.h"
#include "ui/main/N2testeqvtmain.h"
#include "ui/main/Startup.h"

FakeLine* DialogTest::line = nullptr;

bool IsConfigFrame(const Frame& frame)
{
    return !frame.empty() && frame[0] == '!';
}

int FrameAddress(const Frame& frame)
{
    return frame.size() > 2 ? N2ParseHexByte(frame.data() + 1) : -1;
}

std::string FrameCommand(const Frame& frame)
{
    if (frame.size() < 4)
        return {};
    return frame[3] == 'F' ? "F" : std::string(frame.begin() + 3, frame.begin() + 5);
}

int FrameField(const Frame& frame, int index)
{
    const size_t at = 5 + 2 * static_cast<size_t>(index);
    return frame.size() > at + 1 ? N2ParseHexByte(frame.data() + at) : -1;
}

void DialogTest::SetUpTestSuite()
{
    line = new FakeLine;
    N2UseLine(line);
    CreateAllForms();
}

void DialogTest::TearDownTestSuite()
{
    DestroyAllForms();
    N2UseLine(nullptr);
    delete line;
    line = nullptr;
}

void DialogTest::SetUp()
{
    InstallUiRecorder(&recorder);
    ConfigWriteDelay = 1;
    CommandDelay = 1;
    PortName = QStringLiteral("COM1");
    StopFlag = 0;
    line->setResponder([this](const Frame& frame) { return Answer(frame); });
    line->clearLog();
}

void DialogTest::TearDown()
{
    for (QWidget* form : std::initializer_list<QWidget*>{FormAlteraEnd, FormDescobrirEnd, FormAlteraPorta,
                                                          FormSobreBrelt, FormResetEnergy})
        form->hide();
    QCoreApplication::processEvents();
    line->setResponder({});
    SetDefaultCursor();
    InstallUiRecorder(nullptr);
}

sim::MeterCore DialogTest::AddMeter(int address, uint32_t serialNumber)
{
    sim::MeterSettings settings;
    settings.address = address;
    settings.serialNumber = serialNumber;
    settings.frozenEnergies = true;
    meters.emplace_back(settings);
    return meters.back();
}

std::vector<Frame> DialogTest::Frames() const
{
    return line->frames();
}

int DialogTest::CountEvents(FakeLine::Event event) const
{
    const std::vector<FakeLine::Event> events = line->events();
    return static_cast<int>(std::count(events.begin(), events.end(), event));
}

FakeLine::Reply DialogTest::Answer(const Frame& frame)
{
    const int index = frameIndex_++;
    std::vector<uint8_t> reply;
    if (!deliver || deliver(frame, index)) {
        for (sim::MeterCore& meter : meters) {
            for (const std::vector<uint8_t>& part : meter.feed(frame.data(), frame.size(), 1000.0 * index))
                reply.insert(reply.end(), part.begin(), part.end());
        }
    }
    if (tamper)
        tamper(frame, index, reply);
    if (reply.empty())
        return {};
    return {FakeLine::Chunk{0, reply}};
}
