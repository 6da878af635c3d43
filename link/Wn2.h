#pragma once
// The N2 serial link: one port per process, N2 (ASCII) and config (raw) frames,
// one blocking request at a time on the user-interface thread.

#include <QString>
#include <cstdint>
#include <span>

class SerialLine;

extern int ConfigWriteDelay;   // ms; 3000 once the start-up open ran
extern int CommandDelay;       // ms; 1000 once the start-up open ran

// Transport
int N2OpenPort(const QString& portName, int baudRate);   // start-up form
int N2OpenPort(const QString& portName, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity);
int N2ClosePort();
int N2SendFrame(std::span<const uint8_t> frame, uint32_t& written);
// Reads a reply of up to buffer.size() bytes.
int N2ReceiveReply(std::span<uint8_t> buffer, uint32_t& received);

// The line under the transport. nullptr restores the real serial port; returns the previous line.
// Tests install a FakeLine here before N2OpenPort.
SerialLine* N2UseLine(SerialLine* line);

// The reply length each request asks for (status and point replies: link/N2Decode.h). A request
// whose reply buffer is smaller is refused with -1 and sends nothing.
constexpr int N2IdentifyReplyLength = 6;
constexpr int N2WriteReplyLength = 4;
constexpr int CfgReplyLength = 256;

// N2 frames
void N2HexByte(uint8_t value, uint8_t* out);            // writes 2 characters
uint8_t N2ParseHexByte(const uint8_t* text);             // reads 2 characters
int N2Checksum(const uint8_t* chars, int count);
int N2Identify(int address, std::span<uint8_t> reply);
int N2ReadStatus(int address, std::span<uint8_t> reply);
int N2ReadPoint(int address, int object, int attribute, std::span<uint8_t> reply);
int N2WriteCommand(int address, int object, int attribute, int value, std::span<uint8_t> reply);
int N2WriteValue(int address, int object, int value, std::span<uint8_t> reply);

// Config frames
int CfgReadSerialNumber(std::span<uint8_t> reply);
int CfgWriteSerialNumber(uint32_t newSerialNumber);
int CfgWriteAddress(uint32_t serialNumber, uint8_t newAddress);
int CfgReadBlock(uint32_t serialNumber, uint8_t bank, uint8_t start, uint8_t count, std::span<uint8_t> reply);
// data.size() is the count; a block too large for the frame area (over 245 bytes) is refused.
int CfgWriteBlock(uint32_t serialNumber, uint8_t bank, uint8_t start, std::span<const uint8_t> data);
int CfgReadInfo(uint32_t serialNumber, std::span<uint8_t> reply);
