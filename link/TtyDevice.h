#pragma once
// What the real serial line asks the system about its device, beyond what Qt tells: the real
// path behind a link, why an open failed, a vanished device, the driver's error counters,
// low latency and an exclusive lock on the descriptor.

#include "link/SerialLine.h"

#include <QString>
#include <array>
#include <optional>

// The device's real path with every symbolic link resolved; empty when it does not exist.
QString RealDevicePath(const QString& path);

// Why the device at path cannot be opened, once Qt refused it. Checks, in this order, that
// it exists, that this user may read and write it, a lock file left under its name, and
// finally the system's answer to an open of its own.
OpenResult WhyOpenFailed(const QString& path);

// Takes a non-blocking exclusive flock on the descriptor; false when another holds one.
bool LockDescriptor(int fd);

// Asks a USB adapter's driver for its 1 ms latency timer; drivers that refuse are left as they are.
void RequestLowLatency(int fd);

// The device behind fd has gone away: a hang-up, EIO or ENODEV.
bool DeviceGone(int fd);

// Frame, parity, overrun and break counts of the driver; nothing where it keeps none (a pty).
using LineErrorCounts = std::array<int, 4>;
std::optional<LineErrorCounts> ReadLineErrorCounts(int fd);
