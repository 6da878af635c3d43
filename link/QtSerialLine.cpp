#include "link/QtSerialLine.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <chrono>

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

OpenResult QtSerialLine::open(const QString& devicePath, int baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity)
{
    // A new open replaces the port; keeping the old device open would leak it and hold its lock.
    close();
    // Qt names its lock file after the path it is given: with the real path every spelling of
    // one device (a by-id link, its target) meets the same lock.
    const QString realPath = RealDevicePath(devicePath);
    if (realPath.isEmpty())
        return WhyOpenFailed(devicePath);
    port_.setPortName(realPath);
    if (!port_.open(QIODevice::ReadWrite)) {
        OpenResult result = WhyOpenFailed(realPath);
        if (result.failure == OpenFailure::Other && result.systemError.isEmpty())
            result.systemError = port_.errorString();
        return result;
    }
    // The tty's exclusive mode does not stop root; a lock on the descriptor stops everyone.
    if (!LockDescriptor(port_.handle())) {
        port_.close();
        OpenResult inUse;
        inUse.failure = OpenFailure::InUse;
        return inUse;
    }
    applySettings(baudRate, byteSize, stopBits, parity);
    RequestLowLatency(port_.handle());
    countsAtPurge_.reset();
    return {};
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

bool QtSerialLine::isOpen() const
{
    return port_.isOpen();
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
    if (!port_.isOpen())
        return;
    port_.clear(QSerialPort::Input);
    countsAtPurge_ = ReadLineErrorCounts(port_.handle());
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
    (void)drain_(port_.handle());
    return true;
}

int QtSerialLine::read(uint8_t* buffer, int maxLength, int intervalMs, int totalMs)
{
    if (!port_.isOpen()) {
        QThread::msleep(static_cast<unsigned long>(std::max(totalMs, 0)));
        return -1;
    }
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

LineFault QtSerialLine::fault()
{
    if (!port_.isOpen())
        return LineFault::None;
    if (DeviceGone(port_.handle()))
        return LineFault::HungUp;
    const std::optional<LineErrorCounts> counts = ReadLineErrorCounts(port_.handle());
    if (countsAtPurge_ && counts && *counts != *countsAtPurge_)
        return LineFault::LineError;
    return LineFault::None;
}

void QtSerialLine::clearError()
{
    port_.clearError();
}

long long QtSerialLine::clockMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void QtSerialLine::setDrain(Drain drain)
{
    drain_ = std::move(drain);
}
