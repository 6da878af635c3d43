#include "sim/Line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {
[[noreturn]] void fail(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

void makeRaw(int fd, const std::string& what)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        fail(what + ": tcgetattr");
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        fail(what + ": tcsetattr");
}
}  // namespace

LineEnds OpenPty()
{
    LineEnds ends;
    ends.fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (ends.fd < 0)
        fail("posix_openpt");
    if (grantpt(ends.fd) != 0 || unlockpt(ends.fd) != 0) {
        CloseLine(ends);
        fail("grantpt/unlockpt");
    }
    char name[256];
    if (ptsname_r(ends.fd, name, sizeof name) != 0) {
        CloseLine(ends);
        fail("ptsname");
    }
    ends.path = name;
    ends.holdFd = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (ends.holdFd < 0) {
        CloseLine(ends);
        fail("open " + ends.path);
    }
    // Raw on the slave side: no echo, no line editing, no CR translation, whatever opens it.
    makeRaw(ends.holdFd, ends.path);
    return ends;
}

LineEnds OpenDevice(const std::string& devicePath)
{
    LineEnds ends;
    ends.path = devicePath;
    ends.fd = open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (ends.fd < 0)
        fail("open " + devicePath);
    makeRaw(ends.fd, devicePath);
    tcflush(ends.fd, TCIOFLUSH);
    return ends;
}

void CloseLine(LineEnds& ends)
{
    if (ends.holdFd >= 0)
        close(ends.holdFd);
    if (ends.fd >= 0)
        close(ends.fd);
    ends.holdFd = ends.fd = -1;
}

bool WriteAll(int fd, const uint8_t* bytes, size_t length, int timeoutMs)
{
    while (length > 0) {
        const ssize_t n = write(fd, bytes, length);
        if (n > 0) {
            bytes += n;
            length -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{fd, POLLOUT, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return false;
    }
    return true;
}

std::string LinkPathRefusal(const std::string& linkPath)
{
    struct stat status {};
    if (lstat(linkPath.c_str(), &status) != 0 || S_ISLNK(status.st_mode))
        return {};
    const char* what = S_ISDIR(status.st_mode)   ? "a directory"
                       : S_ISREG(status.st_mode) ? "a file"
                                                 : "a device or other file";
    return linkPath + " is " + what + ", not a symbolic link; left as it is (give a new path or a symbolic link)";
}

void PlaceLink(const std::string& linkPath, const std::string& target)
{
    if (const std::string refusal = LinkPathRefusal(linkPath); !refusal.empty())
        throw std::system_error(EEXIST, std::generic_category(), refusal);
    const std::string temporary = linkPath + ".new" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0)
        fail("symlink " + temporary);
    if (rename(temporary.c_str(), linkPath.c_str()) != 0) {
        unlink(temporary.c_str());
        fail("rename to " + linkPath);
    }
}

void RemoveLink(const std::string& linkPath, const std::string& target)
{
    char buffer[512];
    const ssize_t n = readlink(linkPath.c_str(), buffer, sizeof buffer - 1);
    if (n > 0 && std::string(buffer, static_cast<size_t>(n)) == target)
        unlink(linkPath.c_str());
}

}  // namespace sim
