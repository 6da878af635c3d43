#pragma once
// Which device each port name means on this machine. "COMn" is, in this order: the device the
// command line gave it, the QVT_N2_COMn variable, or the n-th device of the automatic mapping:
// the USB serial adapters by their sorted /dev/serial/by-id/ names, then the built-in ports
// /dev/ttyS0, /dev/ttyS1, ... Any other name is already a device path. The mapping is worked
// out anew at each call, so a port opened by name finds the adapters plugged in at that moment.

#include <QList>
#include <QString>

#include <functional>

// What the system's port information says about one serial device.
struct SerialPortFacts {
    QString systemLocation;   // the kernel's name, e.g. /dev/ttyUSB0
    QString description;
    QString manufacturer;
    bool hasIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
};

// Where the mapping and the port descriptions look. Tests replace them: their machines have no
// serial ports.
struct PortSources {
    QString byIdFolder;      // the adapters' stable names
    QString builtinPrefix;   // followed by 0, 1, ...: the built-in ports (a real path, no link)
    std::function<QList<SerialPortFacts>()> ports;   // every serial port the system sees
};

// Installs other sources (nullptr: the system's); returns the previous ones (nullptr: the system's).
const PortSources* N2UsePortSources(const PortSources* sources);
const PortSources& N2PortSources();

// n for "COMn" (n >= 1), else 0.
int ComNumber(const QString& portName);

// The device the port name means now.
QString N2DevicePath(const QString& portName);
// The command line's device for a COM name, over everything else; an empty path removes it.
void N2SetPortDevice(const QString& portName, const QString& devicePath);
// --port as every program of the project takes it: a COM name (any case) is the port to open; a
// device path becomes the device of COM1, which is then the port. Empty for anything else.
QString N2PortArgument(const QString& value);
// Why N2PortArgument refused the value, in one sentence.
QString N2PortArgumentProblem(const QString& value);

// Every COM name that means the device now, in order.
QStringList N2ComNamesOf(const QString& realPath);

// The stable /dev/serial/by-id/ name that leads to the device, or empty.
QString N2StableName(const QString& realPath);

// What a device path leads to right now.
struct PortDevice {
    QString path;            // as given
    QString realPath;        // the device behind every link; empty when nothing is there
    SerialPortFacts facts;   // the system's information, where it lists the device
};
PortDevice N2DescribeDevice(const QString& path, const QList<SerialPortFacts>& ports);
