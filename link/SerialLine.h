#pragma once
// The one seam under the link: the real serial port (QtSerialLine) or a FakeLine in tests.
// Results are plain return codes; nothing here throws.

#include <QString>
#include <cstdint>

// Why a device could not be opened, told apart from the system's error numbers.
enum class OpenFailure { None, NotFound, NoPermission, InUse, StaleLock, Other };

struct OpenResult {
    OpenFailure failure = OpenFailure::None;
    QString lockFile;      // InUse or StaleLock through a lock file: that file
    long long holder = 0;  // InUse through a lock file: the process that holds it
    QString systemError;   // Other: the system's own words
    bool ok() const { return failure == OpenFailure::None; }
};

// What the line reports after a send or a read.
enum class LineFault {
    None,
    LineError,   // a framing, parity or overrun error or a break since the last input purge
    HungUp,      // the device went away: end of file, a hang-up, EIO or ENODEV
};

class SerialLine {
public:
    virtual ~SerialLine() = default;
    // Opens the device exclusively and applies 9600-style settings.
    virtual OpenResult open(const QString& devicePath, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity) = 0;
    virtual bool close() = 0;
    virtual bool isOpen() const = 0;
    virtual void setRts(bool raised) = 0;
    virtual void purgeOutput() = 0;
    virtual void purgeInput() = 0;
    // Writes all bytes and returns once the last one has left the transmitter; false on a
    // failure or when the write time-out passed.
    virtual bool write(const uint8_t* bytes, int length, int timeoutMs) = 0;
    // Reads up to maxLength bytes: returns at maxLength bytes, intervalMs after the last byte
    // once one arrived, or totalMs after the start. The count (possibly 0), or -1 on a failure.
    // A line that is not open fails after totalMs, as a silent line would.
    virtual int read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs) = 0;
    virtual LineFault fault() = 0;
    virtual void clearError() = 0;
    // A monotonic clock in ms: paces the reopening of a port that is not open.
    virtual long long clockMs() const = 0;
};
