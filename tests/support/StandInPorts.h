#pragma once
// Stand-in serial ports for tests (test machines have none): a folder of plain files as devices,
// a by-id folder of links to them and a port list, installed as the port map's sources for the
// life of the object. The QVT_N2_COMn variables and command-line devices of COM1 to COM6 are
// cleared on both ends.

#include "link/PortMap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

class StandInPorts {
public:
    StandInPorts()
    {
        EXPECT_TRUE(folder_.isValid());
        root_ = QDir(folder_.path()).canonicalPath();
        EXPECT_TRUE(QDir(root_).mkdir("by-id"));
        sources_ = {path("by-id"), path("ttyS"), [this] { return ports; }};
        ClearOverrides();
        previous_ = N2UsePortSources(&sources_);
    }
    ~StandInPorts()
    {
        N2UsePortSources(previous_);
        ClearOverrides();
    }
    StandInPorts(const StandInPorts&) = delete;
    StandInPorts& operator=(const StandInPorts&) = delete;

    QString path(const QString& name) const { return root_ + '/' + name; }
    // A device file, readable and writable by the test's user.
    QString device(const QString& name)
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    }
    // A stable name in the by-id folder that leads to the device.
    QString adapter(const QString& stableName, const QString& devicePath)
    {
        const QString link = path("by-id/" + stableName);
        EXPECT_TRUE(QFile::link(devicePath, link));
        return link;
    }

    QList<SerialPortFacts> ports;   // what the system's port information says

private:
    static void ClearOverrides()
    {
        for (int n = 1; n <= 6; ++n) {
            unsetenv(qPrintable(QStringLiteral("QVT_N2_COM%1").arg(n)));
            N2SetPortDevice(QStringLiteral("COM%1").arg(n), QString());
        }
    }

    QTemporaryDir folder_;
    QString root_;
    PortSources sources_;
    const PortSources* previous_ = nullptr;
};
