#include "ReliabilityFixture.h"

#include "link/Wn2.h"
#include "ui/main/N2testeqvtmain.h"
#include "ui/main/Startup.h"

void FormsTest::CreateForms()
{
    if (FormMain)
        return;
    static FakeLine startLine;
    startLine.setOpenFails(true);
    N2UseLine(&startLine);
    CreateAllForms();
    N2UseLine(nullptr);
}

void FormsTest::Begin()
{
    CreateForms();
    previousLocale_ = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    InstallUiRecorder(&ui);
    StopFlag = 0;
}

void FormsTest::End()
{
    Disconnect();
    InstallUiRecorder(nullptr);
    QLocale::setDefault(previousLocale_);
}

void FormsTest::ConnectFake(FakeLine& line)
{
    N2ClosePort();
    N2UseLine(&line);
    N2OpenPort(QStringLiteral("COM1"), 9600, 8, 0, 0);
    ConfigWriteDelay = 1;
    CommandDelay = 1;
    line.clearLog();
}

bool FormsTest::ConnectDevice(const QString& path)
{
    N2ClosePort();
    N2UseLine(nullptr);
    ConfigWriteDelay = 1;
    CommandDelay = 1;
    return N2OpenPort(path, 9600, 8, 0, 0) == 1;
}

void FormsTest::Disconnect()
{
    N2ClosePort();
    N2UseLine(nullptr);
}
