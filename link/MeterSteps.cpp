#include "link/MeterSteps.h"

#include "common/Geral.h"
#include "link/PollingPoints.h"
#include "link/Wn2.h"

#include <array>

namespace {

// Config reads ask for the longest reply; N2 replies fit in it too.
using Reply = std::array<uint8_t, CfgReplyLength>;

StepOutcome Done()
{
    return {StepOutcome::Confirmed, 0};
}

// Silence, or a reply cut short with the count that arrived.
StepOutcome Missing(int count)
{
    if (count < 0)
        return {StepOutcome::NoAnswer, -1};
    return {StepOutcome::ShortReply, count};
}

// An N2 reply that did not decode: one of the right length has fields that are not clean hex,
// and must never read like a count received.
StepOutcome Failed(int count, int requiredLength)
{
    if (count == requiredLength)
        return {StepOutcome::GarbledReply, N2MessageError};
    return Missing(count);
}

// A config read's reply is raw bytes: only its length can be wrong.
template <size_t Size>
StepOutcome ReadBlock(int32_t serialNumber, uint8_t bank, std::array<uint8_t, Size>& bytes)
{
    Reply reply{};
    const int count = CfgReadBlock(static_cast<uint32_t>(serialNumber), bank, 0, static_cast<uint8_t>(Size), reply);
    return CfgDecodeBlock(reply.data(), count, bytes) ? Done() : Missing(count);
}

template <typename Block>
StepOutcome ReadDecoded(int32_t serialNumber, Block& block)
{
    typename Block::Bytes bytes{};
    const StepOutcome outcome = ReadBlock(serialNumber, Block::Bank, bytes);
    if (outcome.confirmed())
        block = Block::Decode(bytes);
    return outcome;
}

// After a write: silence is NoAnswer, anything else that is not the written value is NotConfirmed.
StepOutcome Compared(const StepOutcome& readBack, bool same)
{
    if (readBack.kind == StepOutcome::NoAnswer)
        return readBack;
    if (!readBack.confirmed() || !same)
        return {StepOutcome::NotConfirmed, 0};
    return Done();
}

const StepOutcome SendFailed{StepOutcome::SendFailed, -1};

template <typename Block>
StepOutcome WriteBlock(int32_t serialNumber, const Block& block)
{
    const typename Block::Bytes written = block.Encode();
    if (CfgWriteBlock(static_cast<uint32_t>(serialNumber), Block::Bank, 0, written) == -1)
        return SendFailed;
    Pause(ConfigWriteDelay);
    typename Block::Bytes readBack{};
    const StepOutcome read = ReadBlock(serialNumber, Block::Bank, readBack);
    return Compared(read, readBack == written);
}

}  // namespace

StepOutcome Identify(int address)
{
    Reply reply{};
    return N2Identify(address, reply) == -1 ? Missing(-1) : Done();
}

StepOutcome ReadStatus(int address, N2Status& status)
{
    Reply reply{};
    const int count = N2ReadStatus(address, reply);
    return N2DecodeStatus(reply.data(), count, status) ? Done() : Failed(count, N2StatusReplyLength);
}

StepOutcome ReadSerialNumber(int address, int32_t& serialNumber)
{
    Reply reply{};
    const int count = N2ReadStatus(address, reply);
    return N2DecodeSerialNumber(reply.data(), count, serialNumber) ? Done() : Failed(count, N2StatusReplyLength);
}

StepOutcome ReadPoint(int address, const MeterPoint& point, float& value)
{
    Reply reply{};
    const int count = N2ReadPoint(address, point.object, PointAttribute, reply);
    return N2DecodePoint(reply.data(), count, value) ? Done() : Failed(count, N2PointReplyLength);
}

StepOutcome ReadParameters(int32_t serialNumber, ParameterBlock& parameters)
{
    return ReadDecoded(serialNumber, parameters);
}

StepOutcome ReadCalibration(int32_t serialNumber, CalibrationBlock& calibration)
{
    return ReadDecoded(serialNumber, calibration);
}

StepOutcome ReadStarts(int32_t serialNumber, uint16_t& starts)
{
    Reply reply{};
    const int count = CfgReadInfo(static_cast<uint32_t>(serialNumber), reply);
    return CfgDecodeInfo(reply.data(), count, starts) ? Done() : Missing(count);
}

StepOutcome WriteParameters(int32_t serialNumber, const ParameterBlock& parameters)
{
    return WriteBlock(serialNumber, parameters);
}

StepOutcome WriteCalibration(int32_t serialNumber, const CalibrationBlock& calibration)
{
    return WriteBlock(serialNumber, calibration);
}

StepOutcome WriteSerialNumber(int32_t newSerialNumber)
{
    if (CfgWriteSerialNumber(static_cast<uint32_t>(newSerialNumber)) == -1)
        return SendFailed;
    Pause(ConfigWriteDelay);
    Reply reply{};
    const int count = CfgReadSerialNumber(reply);
    std::array<uint8_t, 4> readBack{};
    const StepOutcome read = CfgDecodeBlock(reply.data(), count, readBack) ? Done() : Missing(count);
    const auto answered = static_cast<int32_t>(uint32_t(readBack[0]) << 24 | uint32_t(readBack[1]) << 16
                                               | uint32_t(readBack[2]) << 8 | readBack[3]);
    return Compared(read, answered == newSerialNumber);
}

StepOutcome WriteAddress(int32_t serialNumber, int newAddress)
{
    if (CfgWriteAddress(static_cast<uint32_t>(serialNumber), static_cast<uint8_t>(newAddress)) == -1)
        return SendFailed;
    Pause(ConfigWriteDelay);
    int32_t answered = 0;
    const StepOutcome read = ReadSerialNumber(newAddress, answered);
    return Compared(read, answered == serialNumber);
}
