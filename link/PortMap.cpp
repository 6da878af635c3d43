#include "link/PortMap.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcessEnvironment>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

QList<SerialPortFacts> SystemPorts()
{
    QList<SerialPortFacts> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.append({info.systemLocation(), info.description(), info.manufacturer(),
                      info.hasVendorIdentifier() && info.hasProductIdentifier(), info.vendorIdentifier(),
                      info.productIdentifier()});
    }
    return ports;
}

const PortSources& SystemSources()
{
    static const PortSources sources{QStringLiteral("/dev/serial/by-id"), QStringLiteral("/dev/ttyS"), SystemPorts};
    return sources;
}

const PortSources* InstalledSources = nullptr;

// The command line's devices, by COM number.
QHash<int, QString>& CommandLineDevices()
{
    static QHash<int, QString> devices;
    return devices;
}

// Sorted by code point, so the order does not depend on the locale.
QStringList StableNames()
{
    const QDir folder(N2PortSources().byIdFolder);
    QStringList names = folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end());
    for (QString& name : names)
        name = folder.filePath(name);
    return names;
}

QString AutomaticDevice(int comNumber)
{
    const QStringList adapters = StableNames();
    if (comNumber <= adapters.size())
        return adapters[comNumber - 1];
    return N2PortSources().builtinPrefix + QString::number(comNumber - adapters.size() - 1);
}

// m for the built-in port prefix + m, else -1.
int BuiltinIndex(const QString& realPath)
{
    const QString& prefix = N2PortSources().builtinPrefix;
    if (!realPath.startsWith(prefix))
        return -1;
    const QString suffix = realPath.mid(prefix.size());
    bool ok = false;
    const int index = suffix.toInt(&ok);
    return ok && index >= 0 && QString::number(index) == suffix ? index : -1;
}

}  // namespace

const PortSources* N2UsePortSources(const PortSources* sources)
{
    const PortSources* previous = InstalledSources;
    InstalledSources = sources;
    return previous;
}

const PortSources& N2PortSources()
{
    return InstalledSources ? *InstalledSources : SystemSources();
}

int ComNumber(const QString& portName)
{
    if (!portName.startsWith(QLatin1String("COM")) || portName.size() == 3)
        return 0;
    const QStringView digits = QStringView(portName).mid(3);
    if (digits.front() == '0' || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= '0' && c <= '9'; }))
        return 0;
    bool ok = false;
    const int number = digits.toInt(&ok);
    return ok ? number : 0;
}

QString N2DevicePath(const QString& portName)
{
#ifdef Q_OS_WIN
    return portName;
#else
    const int number = ComNumber(portName);
    if (number == 0)
        return portName;
    const QString given = CommandLineDevices().value(number);
    if (!given.isEmpty())
        return given;
    const QString variable = qEnvironmentVariable(qPrintable(QStringLiteral("QVT_N2_COM%1").arg(number)));
    if (!variable.isEmpty())
        return variable;
    return AutomaticDevice(number);
#endif
}

void N2SetPortDevice(const QString& portName, const QString& devicePath)
{
    const int number = ComNumber(portName);
    if (number == 0)
        return;
    if (devicePath.isEmpty())
        CommandLineDevices().remove(number);
    else
        CommandLineDevices().insert(number, devicePath);
}

QString N2PortArgument(const QString& value)
{
    const QString comName = value.toUpper();
    if (ComNumber(comName) > 0)
        return comName;
    if (!value.contains(QLatin1Char('/')))
        return QString();
    const QString start = QStringLiteral("COM1");
    N2SetPortDevice(start, QFileInfo(value).absoluteFilePath());
    return start;
}

QString N2PortArgumentProblem(const QString& value)
{
    return QStringLiteral("--port %1: give a COM name (COM1, COM2, ...) or a device path (for example /dev/ttyUSB0).")
        .arg(value);
}

QStringList N2ComNamesOf(const QString& realPath)
{
    QList<int> candidates = CommandLineDevices().keys();
    for (const QString& variable : QProcessEnvironment::systemEnvironment().keys()) {
        if (variable.startsWith(QLatin1String("QVT_N2_")))
            candidates.append(ComNumber(variable.mid(7)));
    }
    const QStringList adapters = StableNames();
    for (int index = 0; index < adapters.size(); ++index) {
        if (QFileInfo(adapters[index]).canonicalFilePath() == realPath)
            candidates.append(index + 1);
    }
    const int builtin = BuiltinIndex(realPath);
    if (builtin >= 0)
        candidates.append(static_cast<int>(adapters.size()) + builtin + 1);
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    QStringList names;
    for (int number : candidates) {
        const QString name = QStringLiteral("COM%1").arg(number);
        if (number > 0 && QFileInfo(N2DevicePath(name)).canonicalFilePath() == realPath)
            names.append(name);
    }
    return names;
}

QString N2StableName(const QString& realPath)
{
    for (const QString& name : StableNames()) {
        if (QFileInfo(name).canonicalFilePath() == realPath)
            return name;
    }
    return {};
}

PortDevice N2DescribeDevice(const QString& path, const QList<SerialPortFacts>& ports)
{
    PortDevice device{path, QFileInfo(path).canonicalFilePath(), {}};
    for (const SerialPortFacts& port : ports) {
        if (!device.realPath.isEmpty() && QFileInfo(port.systemLocation).canonicalFilePath() == device.realPath)
            device.facts = port;
    }
    return device;
}
