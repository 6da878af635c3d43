#pragma once
// Request builders and reply checks for the meter tests, written from the wire format alone.

#include "sim/MeterCore.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace simtest {

using Bytes = std::vector<uint8_t>;

inline std::string Hex(unsigned value, int digits = 2)
{
    static const char* digitsText = "0123456789ABCDEF";
    std::string text(digits, '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[i] = digitsText[value & 0xF];
    return text;
}

inline unsigned Sum(const std::string& text)
{
    unsigned sum = 0;
    for (unsigned char c : text)
        sum += c;
    return sum & 0xFF;
}

// '>' + body + checksum + CR
inline Bytes N2(const std::string& body)
{
    const std::string text = ">" + body + Hex(Sum(body)) + "\r";
    return Bytes(text.begin(), text.end());
}

// '!' serial op fields CR
inline Bytes Cfg(uint32_t serial, const std::string& op, const Bytes& fields = {})
{
    Bytes frame(7 + fields.size());
    const uint8_t head[7] = {'!', uint8_t(serial >> 24), uint8_t(serial >> 16), uint8_t(serial >> 8),
                             uint8_t(serial), uint8_t(op[0]), uint8_t(op[1])};
    std::copy(head, head + 7, frame.begin());
    std::copy(fields.begin(), fields.end(), frame.begin() + 7);
    frame.push_back('\r');
    return frame;
}

inline std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Sends one request and returns the one reply, or nothing.
inline Bytes Ask(sim::MeterCore& meter, const Bytes& request, double nowMs = 0)
{
    const auto replies = meter.feed(request.data(), request.size(), nowMs);
    return replies.empty() ? Bytes{} : replies.front();
}

inline bool IsUpperHex(const std::string& text)
{
    return text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

inline float PointValue(const Bytes& reply)
{
    const uint32_t bits = static_cast<uint32_t>(std::stoul(Text(reply).substr(3, 8), nullptr, 16));
    float value;
    static_assert(sizeof value == sizeof bits);
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace simtest
