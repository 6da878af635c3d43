#include "link/PortState.h"

#include "link/LinkTrace.h"
#include "link/SerialLine.h"

namespace {

constexpr long long ReopenPeriodMs = 1000;
const QString LostReason = QStringLiteral("lost");

// The port the last open by name asked for; requests open it again while it is wanted.
struct WantedPort {
    bool wanted = false;
    QString portName;
    QString devicePath;
    PortSettings settings;
    long long lastTryMs = 0;
};

WantedPort Wanted;
N2PortStatus Status;
std::function<void(const N2PortStatus&)> Watcher;

QString Reason(OpenFailure failure)
{
    switch (failure) {
    case OpenFailure::None: return {};
    case OpenFailure::NotFound: return QStringLiteral("not found");
    case OpenFailure::NoPermission: return QStringLiteral("no permission");
    case OpenFailure::InUse: return QStringLiteral("in use");
    case OpenFailure::StaleLock:
    case OpenFailure::Other: break;
    }
    return QStringLiteral("not open");
}

QString Advice(const OpenResult& result)
{
    switch (result.failure) {
    case OpenFailure::None: return {};
    case OpenFailure::NotFound: return QStringLiteral("Check that the adapter is plugged in, or choose another port.");
    case OpenFailure::NoPermission: return QStringLiteral("Add your user to the dialout group and log in again.");
    case OpenFailure::InUse:
        if (result.holder > 0)
            return QStringLiteral("Process %1 holds its lock file %2; close that program or choose another port.")
                .arg(result.holder)
                .arg(result.lockFile);
        return QStringLiteral("Another program has it open; close that program or choose another port.");
    case OpenFailure::StaleLock:
        return QStringLiteral("A program that has ended left the lock file %1, which this user cannot remove; "
                              "remove it as root.")
            .arg(result.lockFile);
    case OpenFailure::Other: break;
    }
    return result.systemError + QLatin1Char('.');
}

N2PortStatus Closed(const QString& reason, const QString& advice)
{
    N2PortStatus status;
    status.portName = Wanted.portName;
    status.devicePath = Wanted.devicePath;
    status.reason = reason;
    status.sentence = QStringLiteral("%1 (%2): %3. %4").arg(Wanted.portName, Wanted.devicePath, reason, advice);
    return status;
}

N2PortStatus StatusOf(const OpenResult& result)
{
    if (!result.ok())
        return Closed(Reason(result.failure), Advice(result));
    N2PortStatus status;
    status.open = true;
    status.portName = Wanted.portName;
    status.devicePath = Wanted.devicePath;
    return status;
}

bool SameStatus(const N2PortStatus& a, const N2PortStatus& b)
{
    return a.open == b.open && a.reason == b.reason && a.sentence == b.sentence;
}

void Tell()
{
    if (Watcher)
        Watcher(Status);
}

OpenResult TryOpen(SerialLine& line)
{
    Wanted.lastTryMs = line.clockMs();
    const PortSettings& s = Wanted.settings;
    const OpenResult result = line.open(Wanted.devicePath, s.baudRate, s.byteSize, s.stopBits, s.parity);
    // Opening a tty raises RTS on Linux; the converter must not drive the bus before a send.
    if (result.ok())
        line.setRts(false);
    return result;
}

}  // namespace

const N2PortStatus& N2CurrentPortStatus()
{
    return Status;
}

void N2WatchPort(std::function<void(const N2PortStatus&)> watcher)
{
    Watcher = std::move(watcher);
}

int PortOpen(SerialLine& line, const QString& portName, const QString& devicePath, const PortSettings& settings)
{
    Wanted = {true, portName, devicePath, settings, 0};
    const OpenResult result = TryOpen(line);
    Status = StatusOf(result);
    Tell();
    return result.ok() ? 1 : -1;
}

int PortClose(SerialLine& line)
{
    Wanted.wanted = false;
    Status = Closed(QStringLiteral("not open"), QStringLiteral("The port was closed."));
    return line.close() ? 1 : 0;
}

void PortReopenIfDue(SerialLine& line)
{
    if (!Wanted.wanted || line.isOpen() || line.clockMs() - Wanted.lastTryMs < ReopenPeriodMs)
        return;
    const OpenResult result = TryOpen(line);
    // A lost device that is still missing stays lost; one that is back but refused says why.
    if (Status.reason == LostReason && result.failure == OpenFailure::NotFound)
        return;
    const N2PortStatus now = StatusOf(result);
    if (SameStatus(now, Status))
        return;
    Status = now;
    Tell();
}

bool PortFaulted(SerialLine& line)
{
    switch (line.fault()) {
    case LineFault::None: return false;
    case LineFault::LineError:
        TraceLink({.event = LinkEvent::LineError, .detail = "framing, parity, overrun or break"});
        return true;
    case LineFault::HungUp:
        TraceLink({.event = LinkEvent::LineError, .detail = "hang-up: the device went away"});
        break;
    }
    line.close();
    // The loss counts as a try: a device on its way out is not opened again at once.
    Wanted.lastTryMs = line.clockMs();
    Status = Closed(LostReason, QStringLiteral("The device went away; the port opens again by itself when it is back."));
    Tell();
    return true;
}
