#include "fuzz/FuzzChecks.h"

#include "link/N2Decode.h"
#include "link/Wn2.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {

constexpr int SerialAt = 9;
constexpr int CodeAt = 21;
constexpr int ValueAt = 3;
constexpr int ReplyBufferSize = 256;

bool UpperHex(uint8_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool AllUpperHex(const uint8_t* text, int length)
{
    for (int i = 0; i < length; ++i) {
        if (!UpperHex(text[i]))
            return false;
    }
    return true;
}

// The value must be what the characters say: encoding it again gives the same characters.
bool EncodesTo(uint32_t value, int pairs, const uint8_t* text)
{
    for (int i = 0; i < pairs; ++i) {
        uint8_t hex[2];
        N2HexByte(static_cast<uint8_t>(value >> (8 * (pairs - 1 - i))), hex);
        if (hex[0] != text[2 * i] || hex[1] != text[2 * i + 1])
            return false;
    }
    return true;
}

// The reply is exactly as long as the bytes that arrived, so a read past it is caught.
void CheckExactReply(const std::vector<uint8_t>& reply)
{
    const int count = static_cast<int>(reply.size());
    const uint8_t* text = reply.data();
    N2Status status{};
    if (N2DecodeStatus(text, count, status)) {
        FUZZ_REQUIRE(count == N2StatusReplyLength);
        FUZZ_REQUIRE(AllUpperHex(text + SerialAt, 8) && AllUpperHex(text + CodeAt, 4));
        FUZZ_REQUIRE(EncodesTo(static_cast<uint32_t>(status.serialNumber), 4, text + SerialAt));
        FUZZ_REQUIRE(EncodesTo(status.errorCode, 2, text + CodeAt));
    }
    int32_t serial = 0;
    if (N2DecodeSerialNumber(text, count, serial)) {
        FUZZ_REQUIRE(count == N2StatusReplyLength && AllUpperHex(text + SerialAt, 8));
        FUZZ_REQUIRE(EncodesTo(static_cast<uint32_t>(serial), 4, text + SerialAt));
    } else {
        FUZZ_REQUIRE(count != N2StatusReplyLength || !AllUpperHex(text + SerialAt, 8));
    }
    float value = 0;
    if (N2DecodePoint(text, count, value)) {
        FUZZ_REQUIRE(count == N2PointReplyLength && AllUpperHex(text + ValueAt, 8));
        FUZZ_REQUIRE(EncodesTo(std::bit_cast<uint32_t>(value), 4, text + ValueAt));
    } else {
        FUZZ_REQUIRE(count != N2PointReplyLength || !AllUpperHex(text + ValueAt, 8));
    }
    if (count > 0)
        FUZZ_REQUIRE(N2IsHexField(text, count / 2) == AllUpperHex(text, count / 2 * 2));
}

// The program's buffer is 256 bytes and its count is whatever the read returned: any count
// but the exact reply length refuses the field.
void CheckClaimedCount(const uint8_t* data, size_t size)
{
    if (size < 2)
        return;
    const int claimed = static_cast<int8_t>(data[0]) * 4 + data[1] % 4;
    uint8_t buffer[ReplyBufferSize] = {};
    std::memcpy(buffer, data + 2, std::min<size_t>(size - 2, ReplyBufferSize));
    N2Status status{};
    int32_t serial = 0;
    float value = 0;
    if (claimed != N2StatusReplyLength) {
        FUZZ_REQUIRE(!N2DecodeStatus(buffer, claimed, status));
        FUZZ_REQUIRE(!N2DecodeSerialNumber(buffer, claimed, serial));
    }
    if (claimed != N2PointReplyLength)
        FUZZ_REQUIRE(!N2DecodePoint(buffer, claimed, value));
}

}  // namespace

void CheckReplyDecode(const uint8_t* data, size_t size)
{
    CheckExactReply(std::vector<uint8_t>(data, data + size));
    CheckClaimedCount(data, size);
}
