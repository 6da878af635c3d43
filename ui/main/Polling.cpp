// The measurement polling loop of the main window ("&Read" until a stop request).
#include "ui/main/N2testeqvtmain.h"

#include "common/ConfigBlocks.h"
#include "common/ConversionError.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/N2Decode.h"
#include "link/PollingPoints.h"
#include "link/Wn2.h"
#include "ui/FormSupport.h"

#include <QCoreApplication>

namespace {

struct Run {
    int address = 0;
    int32_t serialNumber = 0;
    int errorCount = 0;
    uint8_t reply[256] = {};
};

// One failed request: beep, count, status bar; the caller decides whether the cycle goes on.
void Fail(TFormMain& form, Run& run, int code)
{
    Beep();
    ++run.errorCount;
    form.ReportCommError(run.errorCount, code);
}

void ToggleLamp(TFormMain& form)
{
    form.ImageLedVermelho->setVisible(LampToggle == 0);
    form.ImageLedVerde->setVisible(LampToggle != 0);
    LampToggle = LampToggle == 0 ? 1 : 0;
}

bool ReadStatus(TFormMain& form, Run& run)
{
    const int result = N2ReadStatus(run.address, run.reply);
    N2Status status{};
    if (!N2DecodeStatus(run.reply, result, status)) {
        Fail(form, run, result);
        return false;
    }
    run.serialNumber = status.serialNumber;
    form.ShowSerialNumber(status.serialNumber);
    form.ShowMeterStatus(status.errorCode);
    return true;
}

bool ReadParameters(TFormMain& form, Run& run)
{
    const int result = CfgReadBlock(uint32_t(run.serialNumber), ParameterBlock::Bank, 0, ParameterBlock::Size, run.reply);
    ParameterBlock::Bytes bytes;
    if (!CfgDecodeBlock(run.reply, result, bytes)) {
        Fail(form, run, result);
        return false;
    }
    form.ShowParameters(ParameterBlock::Decode(bytes));
    return true;
}

bool ReadPoints(TFormMain& form, Run& run)
{
    for (const MeterPoint& point : PollingPoints) {
        const int result = N2ReadPoint(run.address, point.object, PointAttribute, run.reply);
        float value = 0;
        if (N2DecodePoint(run.reply, result, value)) {
            form.ShowMeasurement(point, value);
            continue;
        }
        Fail(form, run, result);
        if (point.failureEndsCycle)
            return false;
    }
    return true;
}

void ReadInfo(TFormMain& form, Run& run)
{
    const int result = CfgReadInfo(uint32_t(run.serialNumber), run.reply);
    uint16_t starts = 0;
    if (!CfgDecodeInfo(run.reply, result, starts)) {
        Fail(form, run, result);
        return;
    }
    form.ShowStarts(starts);
}

// One cycle after the lamp: a failed request abandons the rest of it.
void Cycle(TFormMain& form, Run& run)
{
    const int identified = N2Identify(run.address, run.reply);
    if (identified == -1) {
        Fail(form, run, identified);
        return;
    }
    if (ReadStatus(form, run) && ReadParameters(form, run) && ReadPoints(form, run))
        ReadInfo(form, run);
}

}  // namespace

bool TFormMain::CheckAddress()
{
    if (!AddressTyped("Warning"))
        return false;
    const TypedAddress typed = ParseAddress(EditEnd->text());
    if (typed.kind == TypedAddress::NotInteger)
        RefuseInput(EditEnd, "Device address incorrect", "Error", BoxIcon::Critical);
    else if (!typed.InRange())
        RefuseInput(EditEnd, "Device address must be between 1 and 255", "Error", BoxIcon::Critical);
    else
        return true;
    return false;
}

void TFormMain::SetReading(bool reading)
{
    reading_ = reading;
    EditEnd->setEnabled(!reading);
    ButtonRead->setEnabled(!reading);
    ButtonStop->setEnabled(reading);
}

void TFormMain::RunPolling()
{
    Run run;
    SetReading(true);
    StopFlag = 0;
    for (;;) {
        QCoreApplication::processEvents();
        if (StopFlag != 0)
            break;
        // A dialog may have written a new address; one that is not a number ends the run.
        const TypedAddress typed = ParseAddress(EditEnd->text());
        if (typed.kind != TypedAddress::Integer) {
            ShowIntegerConversionError(EditEnd->text());
            break;
        }
        run.address = typed.value;
        ToggleLamp(*this);
        Cycle(*this, run);
    }
    SetReading(false);
}

void TFormMain::ButtonReadClick()
{
    if (!CheckAddress())
        return;
    closePending_ = false;
    RunPolling();
    if (closePending_)
        close();
}
