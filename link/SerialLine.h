#pragma once
// The one seam under the link: the real serial port (QtSerialLine) or a FakeLine in tests.
// Results are plain return codes; nothing here throws.

#include <QString>
#include <cstdint>

class SerialLine {
public:
    virtual ~SerialLine() = default;
    // Opens the device exclusively and applies 9600-style settings; false when it cannot be opened.
    virtual bool open(const QString& devicePath, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity) = 0;
    virtual bool close() = 0;
    virtual void setRts(bool raised) = 0;
    virtual void purgeOutput() = 0;
    virtual void purgeInput() = 0;
    // Writes all bytes and returns once the last one has left the transmitter; false on a
    // failure or when the write time-out passed.
    virtual bool write(const uint8_t* bytes, int length, int timeoutMs) = 0;
    // Reads up to maxLength bytes: returns at maxLength bytes, intervalMs after the last byte
    // once one arrived, or totalMs after the start. The count (possibly 0), or -1 on a failure.
    virtual int read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs) = 0;
    virtual void clearError() = 0;
};
