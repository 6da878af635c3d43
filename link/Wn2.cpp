#include "link/Wn2.h"

#include "link/EchoFilter.h"
#include "link/LinkTrace.h"
#include "link/N2Decode.h"
#include "link/PortMap.h"
#include "link/PortState.h"
#include "link/QtSerialLine.h"

#include <QThread>

#include <array>

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

constexpr int IdentifyReplyLength = 6;
constexpr int WriteReplyLength = 4;
constexpr int ConfigReplyLength = 256;

constexpr uint8_t CarriageReturn = 0x0D;
constexpr int ConfigFrameArea = 256;
constexpr int ConfigBlockFrameOverhead = 11;   // '!', serial, 'W2', bank, start, count, CR
constexpr int MaxConfigBlockCount = ConfigFrameArea - ConfigBlockFrameOverhead;

SerialLine* InstalledLine = nullptr;
EchoFilter Echo;

SerialLine& Line()
{
    // Created on first use so that no QObject exists before the application; kept for the run.
    static QtSerialLine* realLine = new QtSerialLine;
    return InstalledLine ? *InstalledLine : *realLine;
}

// '>' address command fields checksum CR, every byte after '>' as upper-case hex text.
class N2Frame {
public:
    N2Frame(int address, const char* command)
    {
        bytes_[length_++] = '>';
        addHex(address);
        for (const char* c = command; *c; ++c)
            bytes_[length_++] = static_cast<uint8_t>(*c);
    }
    void addHex(int value)
    {
        N2HexByte(static_cast<uint8_t>(value), &bytes_[length_]);
        length_ += 2;
    }
    void finish()
    {
        addHex(N2Checksum(&bytes_[1], length_ - 1));
        bytes_[length_++] = CarriageReturn;
    }
    const uint8_t* data() const { return bytes_.data(); }
    int length() const { return length_; }

private:
    std::array<uint8_t, 16> bytes_{};
    int length_ = 0;
};

// '!' serial (most significant first) operation digit fields CR, all raw bytes.
class CfgFrame {
public:
    CfgFrame(uint32_t serialNumber, char operation, char digit)
    {
        add('!');
        for (int shift = 24; shift >= 0; shift -= 8)
            add(static_cast<uint8_t>(serialNumber >> shift));
        add(static_cast<uint8_t>(operation));
        add(static_cast<uint8_t>(digit));
    }
    void add(uint8_t byte) { bytes_[length_++] = byte; }
    void finish() { add(CarriageReturn); }
    const uint8_t* data() const { return bytes_.data(); }
    int length() const { return length_; }

private:
    std::array<uint8_t, ConfigFrameArea> bytes_{};
    int length_ = 0;
};

template <typename Frame>
int Request(const Frame& frame, uint8_t* reply, int replyLength)
{
    PortReopenIfDue(Line());
    // Stale bytes (a late reply to an earlier request) must not be read as this reply.
    Line().purgeOutput();
    TraceLink({.event = LinkEvent::PurgedOutput});
    Line().purgeInput();
    TraceLink({.event = LinkEvent::PurgedInput});
    uint32_t written = 0;
    N2SendFrame(frame.data(), frame.length(), written);
    uint32_t received = 0;
    N2ReceiveReply(reply, replyLength, received);
    return received > 0 ? static_cast<int>(received) : -1;
}

// Config writes read nothing: whatever the meter answers waits for the next read's purge.
int SendConfigWrite(const CfgFrame& frame)
{
    PortReopenIfDue(Line());
    Line().purgeOutput();
    TraceLink({.event = LinkEvent::PurgedOutput});
    uint32_t written = 0;
    return N2SendFrame(frame.data(), frame.length(), written);
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

int N2SendFrame(const uint8_t* bytes, int length, uint32_t& written)
{
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

int N2ReceiveReply(uint8_t* buffer, int maxLength, uint32_t& received)
{
    SerialLine& line = Line();
    const int count =
        Echo.readReply(line, buffer, maxLength, ReadIntervalMs, ReadTotalConstantMs + ReadTotalPerByteMs * maxLength);
    // A line error or a hang-up during the request spoils whatever arrived.
    if (PortFaulted(line) || count < 0) {
        received = 0;
        line.clearError();
        TraceLink({.event = LinkEvent::ReadFailed});
        return -1;
    }
    TraceReply(buffer, count, maxLength);
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

int N2Identify(int address, uint8_t* reply)
{
    N2Frame frame(address, "F");
    frame.finish();
    return Request(frame, reply, IdentifyReplyLength);
}

int N2ReadStatus(int address, uint8_t* reply)
{
    N2Frame frame(address, "09");
    frame.finish();
    return Request(frame, reply, N2StatusReplyLength);
}

int N2ReadPoint(int address, int object, int attribute, uint8_t* reply)
{
    N2Frame frame(address, "11");
    frame.addHex(object);
    frame.addHex(attribute);
    frame.finish();
    return Request(frame, reply, N2PointReplyLength);
}

int N2WriteCommand(int address, int object, int attribute, int value, uint8_t* reply)
{
    N2Frame frame(address, "24");
    frame.addHex(object);
    frame.addHex(attribute);
    // Attribute 1 carries a one-byte value, every other attribute two bytes.
    if (attribute != 1)
        frame.addHex(value >> 8);
    frame.addHex(value);
    frame.finish();
    return Request(frame, reply, WriteReplyLength);
}

int N2WriteValue(int address, int object, int value, uint8_t* reply)
{
    N2Frame frame(address, "26");
    frame.addHex(object);
    frame.addHex(value >> 8);
    frame.addHex(value);
    frame.finish();
    return Request(frame, reply, WriteReplyLength);
}

int CfgReadSerialNumber(uint8_t* reply)
{
    CfgFrame frame(0, 'R', '0');
    frame.finish();
    return Request(frame, reply, ConfigReplyLength);
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

int CfgReadBlock(uint32_t serialNumber, uint8_t bank, uint8_t start, uint8_t count, uint8_t* reply)
{
    CfgFrame frame(serialNumber, 'R', '2');
    frame.add(bank);
    frame.add(start);
    frame.add(count);
    frame.finish();
    return Request(frame, reply, ConfigReplyLength);
}

int CfgWriteBlock(uint32_t serialNumber, uint8_t bank, uint8_t start, int count, const uint8_t* data)
{
    // The frame area holds at most 245 data bytes; a larger count would overrun it.
    if (count < 0 || count > MaxConfigBlockCount || (count > 0 && data == nullptr))
        return -1;
    CfgFrame frame(serialNumber, 'W', '2');
    frame.add(bank);
    frame.add(start);
    frame.add(static_cast<uint8_t>(count));
    for (int i = 0; i < count; ++i)
        frame.add(data[i]);
    frame.finish();
    return SendConfigWrite(frame);
}

int CfgReadInfo(uint32_t serialNumber, uint8_t* reply)
{
    CfgFrame frame(serialNumber, 'R', '3');
    frame.finish();
    return Request(frame, reply, ConfigReplyLength);
}
