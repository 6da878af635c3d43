#include "tests/main/MainFixture.h"

#include "link/Wn2.h"
#include "ui/main/Startup.h"

#include <QApplication>

std::string FrameKind(const Bytes& frame)
{
    const std::string text(frame.begin(), frame.end());
    if (text.size() >= 5 && text[0] == '>') {
        if (text[3] == 'F')
            return "I";
        if (text.compare(3, 2, "09") == 0)
            return "S";
        if (text.compare(3, 2, "11") == 0 && text.size() == 12 && text.compare(7, 2, "03") == 0)
            return "P" + std::to_string(std::stoi(text.substr(5, 2), nullptr, 16));
    }
    if (frame.size() == 11 && frame[0] == '!' && frame[5] == 'R' && frame[6] == '2' && frame[7] == 2 && frame[8] == 0
        && frame[9] == 12)
        return "B";
    if (frame.size() == 8 && frame[0] == '!' && frame[5] == 'R' && frame[6] == '3')
        return "N";
    return "?";
}

std::vector<std::string> CycleKinds()
{
    std::vector<std::string> kinds{"I", "S", "B"};
    for (int object : {0, 1, 5, 4, 2, 3})
        kinds.push_back("P" + std::to_string(object));
    for (int object = 6; object <= 24; ++object)
        kinds.push_back("P" + std::to_string(object));
    for (int object : {25, 27, 26, 28, 29, 30, 31, 32})
        kinds.push_back("P" + std::to_string(object));
    kinds.push_back("N");
    return kinds;
}

void MainFixture::SetUp()
{
    InstallUiRecorder(&ui);
    previousLine_ = N2UseLine(&line);
    line.setResponder([this](const Bytes& frame) { return Answer(frame); });
    CreateAllForms();
    FormMain->show();
    QCoreApplication::processEvents();   // lays the window out as a first paint would
}

void MainFixture::TearDown()
{
    DestroyAllForms();
    N2ClosePort();
    N2UseLine(previousLine_);
    InstallUiRecorder(nullptr);
    StopFlag = 0;
}

FakeLine::Reply MainFixture::Answer(const Bytes& frame)
{
    if (FrameKind(frame) == "I" && ++cyclesStarted_ == stopAfter_)
        StopFlag = 1;
    if (onFrame)
        onFrame(frame);
    clockMs_ += 20;
    const auto replies = meter.feed(frame.data(), frame.size(), clockMs_);
    Bytes reply = replies.empty() ? Bytes{} : replies.front();
    if (spoil)
        spoil(frame, reply);
    if (reply.empty())
        return {};
    return {FakeLine::Chunk{0, reply}};
}

void MainFixture::Read(const QString& address)
{
    line.clearLog();
    cyclesStarted_ = 0;
    FormMain->EditEnd->setText(address);
    FormMain->ButtonRead->click();
}

std::vector<std::string> MainFixture::Kinds() const
{
    std::vector<std::string> kinds;
    for (const Bytes& frame : line.frames())
        kinds.push_back(FrameKind(frame));
    return kinds;
}

QLineEdit* MainFixture::Edit(const char* name) const
{
    return FormMain->findChild<QLineEdit*>(name);
}

QString MainFixture::Text(const char* name) const
{
    return Edit(name)->text();
}
