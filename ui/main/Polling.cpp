// The measurement polling loop of the main window ("&Read" until a stop request).
#include "ui/main/N2testeqvtmain.h"

#include "common/ConversionError.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/PollingCycle.h"
#include "ui/FormSupport.h"

#include <QCoreApplication>

namespace {

// Shows what each cycle reads; a failed request beeps, is counted over the run and reported.
class WindowReader : public CycleReader {
public:
    explicit WindowReader(TFormMain& form) : form_(form) {}

    void StatusRead(const N2Status& status) override
    {
        form_.ShowSerialNumber(status.serialNumber);
        form_.ShowMeterStatus(status.errorCode);
    }
    void ParametersRead(const ParameterBlock& parameters) override { form_.ShowParameters(parameters); }
    void PointRead(const MeterPoint& point, float value) override { form_.ShowMeasurement(point, value); }
    void StartsRead(uint16_t starts) override { form_.ShowStarts(starts); }
    void RequestFailed(CycleRequest, const MeterPoint*, const StepOutcome& outcome) override
    {
        Beep();
        ++errorCount_;
        form_.ReportCommError(errorCount_, outcome.code);
    }

private:
    TFormMain& form_;
    int errorCount_ = 0;
};

void ToggleLamp(TFormMain& form)
{
    form.ImageLedVermelho->setVisible(LampToggle == 0);
    form.ImageLedVerde->setVisible(LampToggle != 0);
    LampToggle = LampToggle == 0 ? 1 : 0;
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
    // Where Qt would move the focus from the disabled edit, a Space would open the address
    // dialog; during a run it belongs on what ends the run.
    if (reading)
        ButtonStop->setFocus();
    else
        EditEnd->setFocus();
}

void TFormMain::RunPolling()
{
    WindowReader reader(*this);
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
        ToggleLamp(*this);
        refreshed_.clear();
        RunPollingCycle(typed.value, reader);
        ShowOldFields();
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
