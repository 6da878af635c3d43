#include "link/N2Decode.h"

#include "link/Wn2.h"

#include <algorithm>
#include <bit>

namespace {

constexpr int SerialNumberPosition = 9;
constexpr int ErrorCodePosition = 21;
constexpr int PointValuePosition = 3;
constexpr int CfgReplyLead = 1;

bool IsUpperHexDigit(uint8_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Most significant pair first.
uint32_t ParseHexPairs(const uint8_t* text, int pairs)
{
    uint32_t value = 0;
    for (int i = 0; i < pairs; ++i)
        value = (value << 8) | N2ParseHexByte(text + 2 * i);
    return value;
}

}  // namespace

bool N2IsHexField(const uint8_t* text, int pairs)
{
    if (text == nullptr || pairs < 0)
        return false;
    for (int i = 0; i < 2 * pairs; ++i) {
        if (!IsUpperHexDigit(text[i]))
            return false;
    }
    return true;
}

bool N2DecodeSerialNumber(const uint8_t* reply, int count, int32_t& serialNumber)
{
    if (reply == nullptr || count != N2StatusReplyLength || !N2IsHexField(reply + SerialNumberPosition, 4))
        return false;
    serialNumber = static_cast<int32_t>(ParseHexPairs(reply + SerialNumberPosition, 4));
    return true;
}

bool N2DecodeStatus(const uint8_t* reply, int count, N2Status& status)
{
    int32_t serialNumber = 0;
    if (!N2DecodeSerialNumber(reply, count, serialNumber) || !N2IsHexField(reply + ErrorCodePosition, 2))
        return false;
    status.serialNumber = serialNumber;
    status.errorCode = static_cast<uint16_t>(ParseHexPairs(reply + ErrorCodePosition, 2));
    return true;
}

bool N2DecodePoint(const uint8_t* reply, int count, float& value)
{
    if (reply == nullptr || count != N2PointReplyLength || !N2IsHexField(reply + PointValuePosition, 4))
        return false;
    value = std::bit_cast<float>(ParseHexPairs(reply + PointValuePosition, 4));
    return true;
}

bool CfgDecodeBlock(const uint8_t* reply, int count, std::span<uint8_t> block)
{
    if (reply == nullptr || count < CfgReplyLead + static_cast<int>(block.size()))
        return false;
    std::copy_n(reply + CfgReplyLead, block.size(), block.begin());
    return true;
}

bool CfgDecodeInfo(const uint8_t* reply, int count, uint16_t& starts)
{
    uint8_t counter[2];
    if (!CfgDecodeBlock(reply, count, counter))
        return false;
    starts = static_cast<uint16_t>(counter[0] << 8 | counter[1]);
    return true;
}
