#pragma once
// The real serial port under the link, over QSerialPort.

#include "link/SerialLine.h"
#include "link/TtyDevice.h"

#include <QSerialPort>
#include <functional>
#include <optional>
#include <termios.h>

class QtSerialLine : public SerialLine {
public:
    // Waits until the driver's transmitter is empty (tcdrain); a test may watch it.
    using Drain = std::function<int(int fd)>;

    OpenResult open(const QString& devicePath, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity) override;
    bool close() override;
    bool isOpen() const override;
    void setRts(bool raised) override;
    void purgeOutput() override;
    void purgeInput() override;
    bool write(const uint8_t* bytes, int length, int timeoutMs) override;
    int read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs) override;
    LineFault fault() override;
    void clearError() override;
    long long clockMs() const override;

    void setDrain(Drain drain);

private:
    void applySettings(int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity);
    bool waitUntilSent(int timeoutMs);

    QSerialPort port_;
    Drain drain_ = ::tcdrain;
    std::optional<LineErrorCounts> countsAtPurge_;
};
