#include "link/TtyDevice.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

OpenResult FromErrno(int error)
{
    OpenResult result;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
        result.failure = OpenFailure::NotFound;
        break;
    case EACCES:
    case EPERM:
        result.failure = OpenFailure::NoPermission;
        break;
    case EBUSY:   // another program set the tty's exclusive mode
        result.failure = OpenFailure::InUse;
        break;
    default:
        result.failure = OpenFailure::Other;
        result.systemError = QString::fromLocal8Bit(std::strerror(error));
        break;
    }
    return result;
}

// Qt names a port's lock file after the device without "/dev/", slashes made underscores,
// and keeps it in the first of these directories it can use.
QString LockFileName(const QString& devicePath)
{
    QString name = devicePath.startsWith(QLatin1String("/dev/")) ? devicePath.mid(5) : devicePath;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

QStringList LockDirectories()
{
    return {QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"), QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
}

bool ProcessAlive(long long pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// A lock file under the device's name: in use while its process lives, stale otherwise.
std::optional<OpenResult> HeldByLockFile(const QString& devicePath)
{
    const QString name = LockFileName(devicePath);
    for (const QString& directory : LockDirectories()) {
        QFile file(directory + QLatin1Char('/') + name);
        if (!file.exists())
            continue;
        long long pid = 0;
        if (file.open(QIODevice::ReadOnly))
            pid = file.readLine().trimmed().toLongLong();
        OpenResult result;
        result.lockFile = file.fileName();
        if (ProcessAlive(pid)) {
            result.failure = OpenFailure::InUse;
            result.holder = pid;
        } else {
            result.failure = OpenFailure::StaleLock;
        }
        return result;
    }
    return std::nullopt;
}

// The system's own answer, from an open that changes nothing while another program holds
// the device (the lines only move at the first open and the last close).
OpenResult ProbeOpen(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FromErrno(errno);
    const bool free = LockDescriptor(fd);
    ::close(fd);
    OpenResult result;
    result.failure = free ? OpenFailure::Other : OpenFailure::InUse;
    return result;
}

}  // namespace

QString RealDevicePath(const QString& path)
{
    char* real = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (!real)
        return {};
    const QString resolved = QFile::decodeName(real);
    std::free(real);
    return resolved;
}

OpenResult WhyOpenFailed(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0 || ::access(native.constData(), R_OK | W_OK) != 0)
        return FromErrno(errno);
    if (std::optional<OpenResult> locked = HeldByLockFile(path))
        return *locked;
    return ProbeOpen(native);
}

bool LockDescriptor(int fd)
{
    // Only another holder counts; a file system without flock locks nothing.
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

void RequestLowLatency(int fd)
{
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY))
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    (void)::ioctl(fd, TIOCSSERIAL, &serial);
}

bool DeviceGone(int fd)
{
    // With no events asked, poll reports only a hang-up or an error.
    pollfd state{fd, 0, 0};
    if (::poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return true;
    termios settings{};
    return ::tcgetattr(fd, &settings) != 0 && (errno == EIO || errno == ENODEV || errno == ENXIO);
}

std::optional<LineErrorCounts> ReadLineErrorCounts(int fd)
{
    serial_icounter_struct counts{};
    if (::ioctl(fd, TIOCGICOUNT, &counts) != 0)
        return std::nullopt;
    return LineErrorCounts{counts.frame, counts.parity, counts.overrun, counts.brk};
}
