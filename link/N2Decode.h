#pragma once
// Decoding of the reply fields the program shows or uses to address config frames.
// A field counts only when its reply has the exact length and every field character
// is an upper-case hex digit: line noise must never become a value or a serial number.

#include <cstdint>
#include <span>

constexpr int N2StatusReplyLength = 28;
constexpr int N2PointReplyLength = 14;
// The result reported for a reply of the right length whose fields are not clean hex, so that
// it never reads like a count of characters received.
constexpr int N2MessageError = -2;

struct N2Status {
    int32_t serialNumber;   // characters 9..16, most significant pair first
    uint16_t errorCode;     // characters 21..24
};

// True when all 2 * pairs characters are '0'-'9' or 'A'-'F'.
bool N2IsHexField(const uint8_t* text, int pairs);
// count is the request result; false unless count == 28 and both fields are hex.
bool N2DecodeStatus(const uint8_t* reply, int count, N2Status& status);
// Serial number only (the address change and parameter dialogs need no error code).
bool N2DecodeSerialNumber(const uint8_t* reply, int count, int32_t& serialNumber);
// count must be 14 and characters 3..10 hex; the 32 bits are an IEEE single.
bool N2DecodePoint(const uint8_t* reply, int count, float& value);

// A config block read's reply is one leading byte, then the block: copies block.size() bytes
// into block. False, block untouched, unless count covers the whole block.
bool CfgDecodeBlock(const uint8_t* reply, int count, std::span<uint8_t> block);
// The information read's reply: the leading byte, then the meter's start counter (16 bits,
// most significant byte first). False unless both counter bytes arrived.
bool CfgDecodeInfo(const uint8_t* reply, int count, uint16_t& starts);
