// The N2 dialect: '>' address command fields checksum CR, all in upper-case hex.
// Replies start with 'A' (done) or 'N' (refused), then data, a checksum over the data, CR.

#include "sim/MeterImpl.h"

#include <bit>
#include <cstring>

namespace sim {

namespace {
constexpr uint8_t Cr = 0x0D;
constexpr uint8_t DeviceType = 0x10;
constexpr uint8_t FirmwareMajor = 1, FirmwareMinor = 0;
constexpr int ValueAttribute = 3;
constexpr int ResetAttribute = 1, ResetValue = 2;
constexpr int DeltaObject = 2;
// Register objects of the reset command, in object order: EAPos, ERPos, EANeg, ERNeg,
// MDA, DA, MDS, DS.
constexpr int ResetTargets[8] = {EAPosPoint, ERPosPoint, EANegPoint, ERNegPoint,
                                 MDAPoint, DAPoint, MDSPoint, DSPoint};

enum RefusalCode : uint8_t { UnknownCommand = 1, BadAttribute = 2, BadObject = 3, NotAllowed = 4 };

Bytes acknowledge(const Bytes& data)
{
    Bytes reply(data.size() + 1, 'A');
    std::copy(data.begin(), data.end(), reply.begin() + 1);
    AppendHex(reply, Checksum(data.data(), data.size()));
    reply.push_back(Cr);
    return reply;
}

Bytes refuse(RefusalCode code)
{
    Bytes reply{'N'};
    AppendHex(reply, code);
    reply.push_back(Cr);
    return reply;
}

void appendHex32(Bytes& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        AppendHex(out, static_cast<uint8_t>(value >> shift));
}
}  // namespace

void AppendHex(Bytes& out, uint8_t value)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    out.push_back(static_cast<uint8_t>(Digits[value >> 4]));
    out.push_back(static_cast<uint8_t>(Digits[value & 0x0F]));
}

bool IsUpperHex(uint8_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

uint8_t ParseHex(const uint8_t* text)
{
    auto nibble = [](uint8_t c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    return static_cast<uint8_t>(nibble(text[0]) << 4 | nibble(text[1]));
}

uint8_t Checksum(const uint8_t* chars, size_t count)
{
    uint8_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum = static_cast<uint8_t>(sum + chars[i]);
    return sum;
}

Bytes MeterCore::Impl::answerN2(const Bytes& frame)
{
    // '>' AA command... CC CR: at least the address, one command character and the checksum.
    if (frame.size() < 7)
        return {};
    const uint8_t* body = frame.data() + 1;
    const size_t length = frame.size() - 2;
    for (size_t i = 0; i < length; ++i)
        if (!IsUpperHex(body[i]))
            return {};
    if (Checksum(body, length - 2) != ParseHex(body + length - 2))
        return {};
    if (ParseHex(body) != state.address)
        return {};
    const uint8_t* command = body + 2;
    const size_t commandLength = length - 4;   // command characters and fields
    auto field = [&](int index) { return ParseHex(command + 2 + 2 * index); };
    if (commandLength == 1 && command[0] == 'F')
        return acknowledge({'1', '0'});
    if (commandLength == 2 && command[0] == '0' && command[1] == '9')
        return readStatus();
    if (commandLength == 6 && command[0] == '1' && command[1] == '1')
        return readPoint(field(0), field(1));
    if (command[0] == '2' && command[1] == '4') {
        const bool oneByte = commandLength >= 4 && field(1) == ResetAttribute;
        if (commandLength == (oneByte ? 8u : 10u))
            return writeCommand(field(0), field(1),
                                oneByte ? field(2) : field(2) << 8 | field(3));
    }
    if (commandLength == 8 && command[0] == '2' && command[1] == '6')
        return writeValue(field(0), field(1) << 8 | field(2));
    return refuse(UnknownCommand);
}

Bytes MeterCore::Impl::readStatus() const
{
    // Type, firmware, jumper; serial number; address and reserved; status code.
    Bytes data;
    AppendHex(data, DeviceType);
    AppendHex(data, FirmwareMajor);
    AppendHex(data, FirmwareMinor);
    AppendHex(data, state.jumperInstalled ? 1 : 0);
    appendHex32(data, state.serialNumber);
    AppendHex(data, static_cast<uint8_t>(state.address));
    AppendHex(data, 0);
    AppendHex(data, static_cast<uint8_t>(state.statusCode >> 8));
    AppendHex(data, static_cast<uint8_t>(state.statusCode));
    return acknowledge(data);
}

Bytes MeterCore::Impl::readPoint(int object, int attribute) const
{
    if (object >= PointCount)
        return refuse(BadObject);
    if (attribute != ValueAttribute)
        return refuse(BadAttribute);
    Bytes data;
    AppendHex(data, static_cast<uint8_t>(object));
    appendHex32(data, std::bit_cast<uint32_t>(model.value(object)));
    return acknowledge(data);
}

Bytes MeterCore::Impl::writeCommand(int object, int attribute, int value)
{
    if (object >= 8)
        return refuse(BadObject);
    if (attribute != ResetAttribute || value != ResetValue)
        return refuse(BadAttribute);
    model.resetRegister(ResetTargets[object]);
    state.points[ResetTargets[object]] = model.value(ResetTargets[object]);
    return acknowledge({});
}

Bytes MeterCore::Impl::writeValue(int object, int value)
{
    if (object != DeltaObject)
        return refuse(BadObject);
    // The delta belongs to the calibration: it changes only with the jumper installed.
    if (!state.jumperInstalled)
        return refuse(NotAllowed);
    state.delta = static_cast<uint16_t>(value);
    return acknowledge({});
}

}  // namespace sim
