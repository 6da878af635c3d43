#include "link/QtSerialLine.h"

#include <QElapsedTimer>

#include <algorithm>
#include <termios.h>

namespace {

// Parity and stop-bit codes arrive as the Windows codes the callers pass (0 = none / one).
QSerialPort::Parity ParityFromCode(uint8_t parity)
{
    switch (parity) {
    case 1: return QSerialPort::OddParity;
    case 2: return QSerialPort::EvenParity;
    case 3: return QSerialPort::MarkParity;
    case 4: return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits StopBitsFromCode(uint8_t stopBits)
{
    switch (stopBits) {
    case 1: return QSerialPort::OneAndHalfStop;
    case 2: return QSerialPort::TwoStop;
    default: return QSerialPort::OneStop;
    }
}

// A wait that ends without data is a time-out unless the port reported a real error.
bool ReadFailed(QSerialPort::SerialPortError error)
{
    return error != QSerialPort::NoError && error != QSerialPort::TimeoutError;
}

}  // namespace

bool QtSerialLine::open(const QString& devicePath, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity)
{
    // A new open replaces the port; keeping the old device open would leak it and hold its lock.
    if (port_.isOpen())
        port_.close();
    if (devicePath.isEmpty())
        return false;
    port_.setPortName(devicePath);
    if (!port_.open(QIODevice::ReadWrite))
        return false;
    applySettings(baudRate, byteSize, stopBits, parity);
    return true;
}

void QtSerialLine::applySettings(int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity)
{
    // Failures here are ignored on purpose: a pseudo-terminal refuses the modem lines.
    port_.setBaudRate(baudRate);
    port_.setDataBits(static_cast<QSerialPort::DataBits>(byteSize));
    port_.setParity(ParityFromCode(parity));
    port_.setStopBits(StopBitsFromCode(stopBits));
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setDataTerminalReady(false);
    port_.clearError();
}

bool QtSerialLine::close()
{
    if (!port_.isOpen())
        return false;
    port_.close();
    return true;
}

void QtSerialLine::setRts(bool raised)
{
    if (port_.isOpen() && !port_.setRequestToSend(raised))
        port_.clearError();
}

void QtSerialLine::purgeOutput()
{
    if (port_.isOpen())
        port_.clear(QSerialPort::Output);
}

void QtSerialLine::purgeInput()
{
    if (port_.isOpen())
        port_.clear(QSerialPort::Input);
}

bool QtSerialLine::write(const uint8_t* bytes, int length, int timeoutMs)
{
    if (!port_.isOpen())
        return false;
    if (port_.write(reinterpret_cast<const char*>(bytes), length) != length)
        return false;
    return waitUntilSent(timeoutMs);
}

bool QtSerialLine::waitUntilSent(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (port_.bytesToWrite() > 0) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0 || !port_.waitForBytesWritten(static_cast<int>(left)))
            return false;
    }
    // The driver has the bytes; RTS may only drop once the last one has left the UART.
    (void)tcdrain(port_.handle());
    return true;
}

int QtSerialLine::read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs)
{
    if (!port_.isOpen())
        return -1;
    port_.clearError();
    QElapsedTimer sinceStart;
    sinceStart.start();
    QElapsedTimer sinceLast;
    int count = 0;
    while (count < maxLength) {
        const qint64 got = port_.read(reinterpret_cast<char*>(buffer + count), maxLength - count);
        if (got < 0)
            return -1;
        if (got > 0) {
            count += static_cast<int>(got);
            sinceLast.start();
            continue;
        }
        qint64 budget = totalMs - sinceStart.elapsed();
        if (count > 0)
            budget = std::min(budget, intervalMs - sinceLast.elapsed());
        if (budget <= 0)
            break;
        if (!port_.waitForReadyRead(static_cast<int>(budget)) && ReadFailed(port_.error()))
            return -1;
    }
    return count;
}

void QtSerialLine::clearError()
{
    port_.clearError();
}
