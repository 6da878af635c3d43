#include "bench/Bench.h"

#include "common/UiServices.h"
#include "ui/dialogs/Descobrirend.h"

namespace bench {

ScanResult RunScan(sim::PtyMeter& meter)
{
    meter.withCore([](sim::MeterCore& core) { core.settings().faults.silent = true; });
    meter.clearExchanges();
    UiRecorder recorder;
    InstallUiRecorder(&recorder);
    FormDescobrirEnd->show();
    FormDescobrirEnd->SetRadioGroupOrdemIndex(0);
    const Clocks start = Now();
    FormDescobrirEnd->ButtonDescobrirClick();
    const Clocks end = Now();
    FormDescobrirEnd->hide();
    InstallUiRecorder(nullptr);
    meter.withCore([](sim::MeterCore& core) { core.settings().faults.silent = false; });

    ScanResult result;
    result.wallMs = end.wallMs - start.wallMs;
    result.cpuShare = (end.cpuMs - start.cpuMs) / result.wallMs;
    for (const sim::Exchange& e : meter.exchanges()) {
        ++result.requests;
        result.requestCharacters += static_cast<int>(e.request.size());
    }
    const UiEvent* box = recorder.lastBox();
    result.notFoundBox = box && box->text.startsWith(QStringLiteral("Could not find the device address."));
    return result;
}

}  // namespace bench
