#include "link/Wn2.h"

#include "link/EchoFilter.h"
#include "link/Frames.h"
#include "link/LinkTrace.h"
#include "link/N2Decode.h"
#include "link/PortMap.h"
#include "link/PortState.h"
#include "link/QtSerialLine.h"

#include <QThread>

int ConfigWriteDelay = 3000;
int CommandDelay = 1000;

namespace {

constexpr int ReadIntervalMs = 50;
constexpr int ReadTotalConstantMs = 10;
constexpr int ReadTotalPerByteMs = 10;
constexpr int WriteTotalConstantMs = 100;
constexpr int WriteTotalPerByteMs = 10;
constexpr int RtsLeadMs = 1;
constexpr int RtsTailMs = 2;   // the last character needs about 1.04 ms at 9600 baud

SerialLine* InstalledLine = nullptr;
EchoFilter Echo;

SerialLine& Line()
{
    // Created on first use so that no QObject exists before the application; kept for the run.
    static QtSerialLine* realLine = new QtSerialLine;
    return InstalledLine ? *InstalledLine : *realLine;
}

// Every send begins here: a port that is not open gets its chance, and nothing left in the
// transmit queue goes out ahead of the frame.
void PrepareSend()
{
    PortReopenIfDue(Line());
    Line().purgeOutput();
    TraceLink({.event = LinkEvent::PurgedOutput});
}

// A reply buffer too small for the reply, or a frame that did not fit its area, sends nothing.
template <typename Frame>
int Request(const Frame& frame, std::span<uint8_t> reply, int replyLength)
{
    if (reply.size() < static_cast<size_t>(replyLength) || !frame.fits())
        return -1;
    PrepareSend();
    // Stale bytes (a late reply to an earlier request) must not be read as this reply.
    Line().purgeInput();
    TraceLink({.event = LinkEvent::PurgedInput});
    uint32_t written = 0;
    N2SendFrame(frame.bytes(), written);
    uint32_t received = 0;
    N2ReceiveReply(reply.first(replyLength), received);
    return received > 0 ? static_cast<int>(received) : -1;
}

// Config writes read nothing: whatever the meter answers waits for the next read's purge.
int SendConfigWrite(const CfgFrame& frame)
{
    if (!frame.fits())
        return -1;
    PrepareSend();
    uint32_t written = 0;
    return N2SendFrame(frame.bytes(), written);
}

void TraceReply(const uint8_t* reply, int count, int maxLength)
{
    const LinkEvent event = count > 0 ? LinkEvent::Received : LinkEvent::TimedOut;
    TraceLink({.event = event, .bytes = reply, .length = count, .expected = maxLength});
}

uint8_t HexDigitValue(uint8_t character)
{
    uint8_t value = static_cast<uint8_t>(character - '0');
    if (value > 9)
        value = static_cast<uint8_t>(value - 7);
    return value;
}

uint8_t HexDigit(uint8_t nibble)
{
    uint8_t digit = static_cast<uint8_t>(nibble + '0');
    if (digit > '9')
        digit = static_cast<uint8_t>(digit + 7);
    return digit;
}

}  // namespace

SerialLine* N2UseLine(SerialLine* line)
{
    SerialLine* previous = InstalledLine;
    InstalledLine = line;
    return previous;
}

int N2OpenPort(const QString& portName, int baudRate)
{
    ConfigWriteDelay = 3000;
    CommandDelay = 1000;
    return N2OpenPort(portName, baudRate, 8, 0, 0);
}

int N2OpenPort(const QString& portName, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity)
{
    return PortOpen(Line(), portName, N2DevicePath(portName), {baudRate, byteSize, stopBits, parity});
}

int N2ClosePort()
{
    return PortClose(Line());
}

int N2SendFrame(std::span<const uint8_t> frame, uint32_t& written)
{
    const uint8_t* bytes = frame.data();
    const int length = static_cast<int>(frame.size());
    SerialLine& line = Line();
    written = 0;
    line.setRts(true);
    TraceLink({.event = LinkEvent::RtsRaised});
    QThread::msleep(RtsLeadMs);
    if (!line.write(bytes, length, WriteTotalConstantMs + WriteTotalPerByteMs * length)) {
        // RTS stays raised; the next send raises it again and drops it at its end.
        PortFaulted(line);
        line.clearError();
        Echo.forget();
        TraceLink({.event = LinkEvent::WriteFailed, .bytes = bytes, .length = length});
        return -1;
    }
    Echo.sent(bytes, length);
    TraceLink({.event = LinkEvent::Sent, .bytes = bytes, .length = length});
    QThread::msleep(RtsTailMs);
    line.setRts(false);
    TraceLink({.event = LinkEvent::RtsDropped});
    written = static_cast<uint32_t>(length);
    return 1;
}

int N2ReceiveReply(std::span<uint8_t> buffer, uint32_t& received)
{
    SerialLine& line = Line();
    const int maxLength = static_cast<int>(buffer.size());
    const int count = Echo.readReply(line, buffer.data(), maxLength, ReadIntervalMs,
                                     ReadTotalConstantMs + ReadTotalPerByteMs * maxLength);
    // A line error or a hang-up during the request spoils whatever arrived.
    if (PortFaulted(line) || count < 0) {
        received = 0;
        line.clearError();
        TraceLink({.event = LinkEvent::ReadFailed});
        return -1;
    }
    TraceReply(buffer.data(), count, maxLength);
    received = static_cast<uint32_t>(count);
    return 1;
}

void N2HexByte(uint8_t value, uint8_t* out)
{
    out[0] = HexDigit(value >> 4);
    out[1] = HexDigit(value & 0x0F);
}

uint8_t N2ParseHexByte(const uint8_t* text)
{
    return static_cast<uint8_t>(HexDigitValue(text[0]) * 16 + HexDigitValue(text[1]));
}

int N2Checksum(const uint8_t* chars, int count)
{
    uint8_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum = static_cast<uint8_t>(sum + chars[i]);
    return sum;
}

int N2Identify(int address, std::span<uint8_t> reply)
{
    N2Frame frame(address, "F");
    frame.finish();
    return Request(frame, reply, N2IdentifyReplyLength);
}

int N2ReadStatus(int address, std::span<uint8_t> reply)
{
    N2Frame frame(address, "09");
    frame.finish();
    return Request(frame, reply, N2StatusReplyLength);
}

int N2ReadPoint(int address, int object, int attribute, std::span<uint8_t> reply)
{
    N2Frame frame(address, "11");
    frame.addHex(object);
    frame.addHex(attribute);
    frame.finish();
    return Request(frame, reply, N2PointReplyLength);
}

int N2WriteCommand(int address, int object, int attribute, int value, std::span<uint8_t> reply)
{
    N2Frame frame(address, "24");
    frame.addHex(object);
    frame.addHex(attribute);
    // Attribute 1 carries a one-byte value, every other attribute two bytes.
    if (attribute != 1)
        frame.addHex(value >> 8);
    frame.addHex(value);
    frame.finish();
    return Request(frame, reply, N2WriteReplyLength);
}

int N2WriteValue(int address, int object, int value, std::span<uint8_t> reply)
{
    N2Frame frame(address, "26");
    frame.addHex(object);
    frame.addHex(value >> 8);
    frame.addHex(value);
    frame.finish();
    return Request(frame, reply, N2WriteReplyLength);
}

int CfgReadSerialNumber(std::span<uint8_t> reply)
{
    CfgFrame frame(0, 'R', '0');
    frame.finish();
    return Request(frame, reply, CfgReplyLength);
}

int CfgWriteSerialNumber(uint32_t newSerialNumber)
{
    CfgFrame frame(newSerialNumber, 'W', '0');
    frame.finish();
    return SendConfigWrite(frame);
}

int CfgWriteAddress(uint32_t serialNumber, uint8_t newAddress)
{
    CfgFrame frame(serialNumber, 'W', '1');
    frame.add(newAddress);
    frame.finish();
    return SendConfigWrite(frame);
}

int CfgReadBlock(uint32_t serialNumber, uint8_t bank, uint8_t start, uint8_t count, std::span<uint8_t> reply)
{
    CfgFrame frame(serialNumber, 'R', '2');
    frame.add(bank);
    frame.add(start);
    frame.add(count);
    frame.finish();
    return Request(frame, reply, CfgReplyLength);
}

int CfgWriteBlock(uint32_t serialNumber, uint8_t bank, uint8_t start, std::span<const uint8_t> data)
{
    CfgFrame frame(serialNumber, 'W', '2');
    frame.add(bank);
    frame.add(start);
    frame.add(static_cast<uint8_t>(data.size()));
    for (const uint8_t byte : data)
        frame.add(byte);
    frame.finish();
    return SendConfigWrite(frame);
}

int CfgReadInfo(uint32_t serialNumber, std::span<uint8_t> reply)
{
    CfgFrame frame(serialNumber, 'R', '3');
    frame.finish();
    return Request(frame, reply, CfgReplyLength);
}
