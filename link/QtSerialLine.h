#pragma once
// The real serial port under the link, over QSerialPort.

#include "link/SerialLine.h"

#include <QSerialPort>

class QtSerialLine : public SerialLine {
public:
    bool open(const QString& devicePath, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity) override;
    bool close() override;
    void setRts(bool raised) override;
    void purgeOutput() override;
    void purgeInput() override;
    bool write(const uint8_t* bytes, int length, int timeoutMs) override;
    int read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs) override;
    void clearError() override;

private:
    void applySettings(int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity);
    bool waitUntilSent(int timeoutMs);

    QSerialPort port_;
};
