// The config dialect: '!' serial(4) 'R'/'W' digit fields CR, raw bytes. Replies carry one
// leading byte, then the data; writes are never answered.

#include "sim/MeterImpl.h"

#include <algorithm>

namespace sim {

namespace {
constexpr uint8_t ReplyLead = 0x06;
constexpr int CalibrationBank = 1, ParameterBank = 2;
constexpr int BankSize = 256;
constexpr uint8_t FirmwareMajor = 1, FirmwareMinor = 0;

uint32_t serialField(const Bytes& frame)
{
    return uint32_t{frame[1]} << 24 | uint32_t{frame[2]} << 16 | uint32_t{frame[3]} << 8 | frame[4];
}

void appendSerial(Bytes& out, uint32_t serial)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(serial >> shift));
}
}  // namespace

Bytes MeterCore::Impl::answerConfig(const Bytes& frame)
{
    const uint8_t kind = frame[5], op = frame[6];
    if (kind == 'R' && op == '0') {
        Bytes reply{ReplyLead};
        appendSerial(reply, state.serialNumber);
        return reply;
    }
    if (kind == 'W' && op == '0') {
        // The new number travels in the serial field, so any meter with the jumper takes it.
        if (state.jumperInstalled)
            state.serialNumber = serialField(frame);
        return {};
    }
    if (serialField(frame) != state.serialNumber)
        return {};
    if (kind == 'W' && op == '1') {
        if (frame[7] >= 1)   // 0 is no N2 address
            state.address = frame[7];
        return {};
    }
    if (kind == 'R' && op == '2')
        return readBlock(frame[7], frame[8], frame[9]);
    if (kind == 'W' && op == '2') {
        writeBlock(frame[7], frame[8], frame[9], frame.data() + 10);
        return {};
    }
    if (kind == 'R' && op == '3')
        return readInfo();
    return {};
}

Bytes MeterCore::Impl::readBlock(int bank, int start, int count) const
{
    if ((bank != CalibrationBank && bank != ParameterBank) || start + count > BankSize)
        return {};
    const uint8_t* data = (bank == CalibrationBank ? state.bank1 : state.bank2) + start;
    Bytes reply{ReplyLead};
    reply.insert(reply.end(), data, data + count);
    return reply;
}

void MeterCore::Impl::writeBlock(int bank, int start, int count, const uint8_t* data)
{
    if (start + count > BankSize)
        return;
    if (bank == CalibrationBank && state.jumperInstalled)
        std::copy(data, data + count, state.bank1 + start);
    else if (bank == ParameterBank)
        std::copy(data, data + count, state.bank2 + start);
}

Bytes MeterCore::Impl::readInfo() const
{
    // Start counter, firmware version, N2 address, jumper.
    return {ReplyLead,
            static_cast<uint8_t>(state.startCounter >> 8),
            static_cast<uint8_t>(state.startCounter),
            FirmwareMajor,
            FirmwareMinor,
            static_cast<uint8_t>(state.address),
            static_cast<uint8_t>(state.jumperInstalled ? 1 : 0)};
}

}  // namespace sim
