#include "link/AddressScan.h"

#include "common/NumberText.h"
#include "link/MeterSteps.h"

bool AnswersTwice(int address)
{
    return Identify(address).confirmed() && Identify(address).confirmed();
}

ScanResult ScanAddresses(ScanOrder order, const std::function<bool(int address)>& beforeTry)
{
    const bool increasing = order == ScanOrder::Increasing;
    const int step = increasing ? 1 : -1;
    for (int address = increasing ? FirstAddress : LastAddress; address >= FirstAddress && address <= LastAddress;
         address += step) {
        if (!beforeTry(address))
            return {ScanResult::Stopped, 0};
        if (AnswersTwice(address))
            return {ScanResult::Found, address};
    }
    return {ScanResult::NotFound, 0};
}
