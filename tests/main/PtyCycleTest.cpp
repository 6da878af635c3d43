// End to end over the real serial port: the simulated meter on a pseudo-terminal stands in for
// COM1 from start-up on.
#include "common/Geral.h"
#include "common/UiServices.h"
#include "link/Wn2.h"
#include "sim/PtyMeter.h"
#include "tests/main/MainFixture.h"
#include "ui/main/Startup.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

TEST(PtyCycle, OneCycleOverTheSerialPort)
{
    sim::MeterSettings settings;
    settings.address = 7;
    settings.serialNumber = 987654321;
    settings.statusCode = 258;
    settings.noNoise = true;
    sim::PtyMeter meter(settings);
    meter.withCore([](sim::MeterCore& core) { core.setPoint(0, 230.5f); });
    qputenv("QVT_N2_COM1", QByteArray::fromStdString(meter.path()));
    UiRecorder ui;
    InstallUiRecorder(&ui);
    CreateAllForms();
    FormMain->show();

    // Stops once the meter has seen a whole cycle; the cycle after it never starts.
    QTimer watch;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (meter.frames().size() >= 37 || clock.elapsed() > 20000)
            StopFlag = 1;
    });
    watch.start(0);
    FormMain->EditEnd->setText("7");
    FormMain->ButtonRead->click();
    watch.stop();

    std::vector<std::string> kinds;
    for (const Bytes& frame : meter.frames())
        kinds.push_back(FrameKind(frame));
    EXPECT_EQ(kinds, CycleKinds());
    EXPECT_EQ(FormMain->EditNSerie->text(), "987654321");
    EXPECT_EQ(FormMain->StatusText(2), " Status : Error Code [258]");
    QString unit;
    EXPECT_EQ(FormMain->EditU->text(), FormatMeasurement(230.5f, "V", unit));
    EXPECT_EQ(FormMain->LabelU->text(), unit);
    EXPECT_EQ(ui.beeps(), 0);

    DestroyAllForms();
    N2ClosePort();
    InstallUiRecorder(nullptr);
    qunsetenv("QVT_N2_COM1");
}
