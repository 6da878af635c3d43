#include "link/Frames.h"

#include "link/Wn2.h"

namespace {

constexpr uint8_t CarriageReturn = 0x0D;

}  // namespace

N2Frame::N2Frame(int address, const char* command)
{
    area_.put('>');
    addHex(address);
    for (const char* c = command; *c; ++c)
        area_.put(static_cast<uint8_t>(*c));
}

void N2Frame::addHex(int value)
{
    uint8_t digits[2];
    N2HexByte(static_cast<uint8_t>(value), digits);
    area_.put(digits[0]);
    area_.put(digits[1]);
}

void N2Frame::finish()
{
    const std::span<const uint8_t> summed = bytes().subspan(1);
    addHex(N2Checksum(summed.data(), static_cast<int>(summed.size())));
    area_.put(CarriageReturn);
}

CfgFrame::CfgFrame(uint32_t serialNumber, char operation, char digit)
{
    area_.put('!');
    for (int shift = 24; shift >= 0; shift -= 8)
        area_.put(static_cast<uint8_t>(serialNumber >> shift));
    area_.put(static_cast<uint8_t>(operation));
    area_.put(static_cast<uint8_t>(digit));
}

void CfgFrame::finish()
{
    area_.put(CarriageReturn);
}
