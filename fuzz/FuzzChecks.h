#pragma once
// One check per fuzz target. Each runs a whole input through the code under test and aborts
// when a property fails, so libFuzzer keeps the input and the regression test replays it.

#include <cstddef>
#include <cstdint>

// The simulated meter's frame parser: any byte stream, fed whole or one byte at a time,
// gives the same replies, and every reply fits the program's reply buffer.
void CheckMeterFrames(const uint8_t* data, size_t size);

// Reply field decoding: a field is accepted only from a reply of the exact length whose field
// characters are upper-case hex, and the value decoded encodes back to those characters.
void CheckReplyDecode(const uint8_t* data, size_t size);

// Typed text to numbers, under a locale picked by the first byte: integers accept exactly an
// optional sign and decimal digits in the 32-bit range; floats are finite; the separator
// normalisation changes at most one character.
void CheckTypedNumbers(const uint8_t* data, size_t size);

// Reports the failed property and aborts.
[[noreturn]] void FuzzFailure(const char* property);
#define FUZZ_REQUIRE(condition) ((condition) ? void(0) : FuzzFailure(#condition))
