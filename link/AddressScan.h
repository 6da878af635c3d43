#pragma once
// The address scan: with one meter alone on the line, an identify to every address in turn, in
// increasing or decreasing order, until one answers. For any front end; the caller decides what
// happens before each address (showing it, letting a person stop the scan).

#include <functional>

enum class ScanOrder { Increasing, Decreasing };

struct ScanResult {
    enum Kind { Found, NotFound, Stopped };
    Kind kind = NotFound;
    int address = 0;   // the meter's address when Found, else 0
};

// A meter that answers after the read time-out is heard in the read of the next address tried;
// only a second answer from the same address names it.
bool AnswersTwice(int address);

// Before each address, beforeTry(address) runs; false stops the scan there, before its request.
ScanResult ScanAddresses(ScanOrder order, const std::function<bool(int address)>& beforeTry);
