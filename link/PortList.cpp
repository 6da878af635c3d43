#include "link/PortList.h"

#include "link/PortMap.h"

#include <QStringList>

#include <algorithm>
#include <vector>
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ListedPort {
    QString name;   // the stable name where one exists, else the kernel's
    PortDevice device;
    QStringList comNames;
};

QString OrDash(const QString& value)
{
    return value.isEmpty() ? QStringLiteral("-") : value;
}

QString Ids(const SerialPortFacts& facts)
{
    if (!facts.hasIds)
        return QStringLiteral("-");
    return QStringLiteral("%1:%2").arg(facts.vendorId, 4, 16, QChar('0')).arg(facts.productId, 4, 16, QChar('0'));
}

QString ComNamesText(const ListedPort& port)
{
    if (port.comNames.isEmpty())
        return QStringLiteral("none; start the program with --port %1").arg(port.name);
    return port.comNames.join(QStringLiteral(", "));
}

QString GroupName(gid_t group)
{
    const struct group* entry = getgrgid(group);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(group);
}

QString UserName(uid_t user)
{
    const struct passwd* entry = getpwuid(user);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(user);
}

QString Block(const ListedPort& port)
{
    const QString refusal = OpenRefusal(port.device.realPath);
    QString text = port.name + '\n';
    text += QStringLiteral("  kernel name  %1\n").arg(port.device.realPath);
    text += QStringLiteral("  description  %1\n").arg(OrDash(port.device.facts.description));
    text += QStringLiteral("  maker        %1\n").arg(OrDash(port.device.facts.manufacturer));
    text += QStringLiteral("  VID:PID      %1\n").arg(Ids(port.device.facts));
    text += QStringLiteral("  COM name     %1\n").arg(ComNamesText(port));
    text += QStringLiteral("  may open     %1\n").arg(refusal.isEmpty() ? QStringLiteral("yes") : "no: " + refusal);
    return text;
}

// Ports reached by a COM name first, in COM order; the others after them by name.
bool ListedBefore(const ListedPort& a, const ListedPort& b)
{
    if (a.comNames.isEmpty() != b.comNames.isEmpty())
        return !a.comNames.isEmpty();
    if (!a.comNames.isEmpty())
        return ComNumber(a.comNames.first()) < ComNumber(b.comNames.first());
    return a.name < b.name;
}

}  // namespace

QString PortListText()
{
    const QList<SerialPortFacts> ports = N2PortSources().ports();
    std::vector<ListedPort> listed;
    for (const SerialPortFacts& facts : ports) {
        PortDevice device = N2DescribeDevice(facts.systemLocation, ports);
        if (device.realPath.isEmpty())
            device.realPath = facts.systemLocation;
        const QString stableName = N2StableName(device.realPath);
        listed.push_back({stableName.isEmpty() ? device.realPath : stableName, device, N2ComNamesOf(device.realPath)});
    }
    if (listed.empty())
        return QStringLiteral("No serial port found.\n");
    std::sort(listed.begin(), listed.end(), ListedBefore);
    QStringList blocks;
    for (const ListedPort& port : listed)
        blocks.append(Block(port));
    return blocks.join('\n');
}

QString OpenRefusal(const QString& devicePath)
{
    const QByteArray path = devicePath.toLocal8Bit();
    if (access(path.constData(), R_OK | W_OK) == 0)
        return {};
    const int error = errno;
    struct stat status {};
    if (error == ENOENT || stat(path.constData(), &status) != 0)
        return QStringLiteral("not found");
    if (error != EACCES)
        return QString::fromLocal8Bit(std::strerror(error));
    const bool groupMayUse = (status.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (status.st_gid != 0 && groupMayUse) {
        const QString group = GroupName(status.st_gid);
        return QStringLiteral("no permission; only the group %1 may use it. Add your user to it "
                              "(sudo usermod -aG %1 $USER) and log in again.")
            .arg(group);
    }
    return QStringLiteral("no permission; the device is mode %1, owner %2, group %3.")
        .arg(status.st_mode & 0777, 4, 8, QChar('0'))
        .arg(UserName(status.st_uid))
        .arg(GroupName(status.st_gid));
}
