#pragma once
// Reading a line trace file back in tests: its lines, grouped by request, and the bytes of a
// frame or reply line checked against its own length and ASCII columns.

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct TraceLine {
    long long ms;
    QString event;
    QString details;
};

inline std::vector<TraceLine> ReadTrace(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<TraceLine> lines;
    static const QRegularExpression pattern(QStringLiteral("^ *(\\d+)  (\\S+) *(.*)$"));
    for (const QByteArray& raw : file.readAll().split('\n')) {
        if (raw.isEmpty() || raw.startsWith('#'))
            continue;
        const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(raw));
        EXPECT_TRUE(m.hasMatch()) << raw.toStdString();
        if (m.hasMatch())
            lines.push_back({m.captured(1).toLongLong(), m.captured(2), m.captured(3)});
    }
    return lines;
}

// One group of lines per request, each from its first purge on.
inline std::vector<std::vector<TraceLine>> TraceRequests(const std::vector<TraceLine>& trace)
{
    std::vector<std::vector<TraceLine>> requests;
    for (const TraceLine& t : trace) {
        if (requests.empty() || (t.event == "purge" && t.details == "output"))
            requests.emplace_back();
        requests.back().push_back(t);
    }
    return requests;
}

// "7       3E 30 ...  |>01FA7.|" -> the bytes, after checking the ASCII column agrees with them.
inline std::vector<uint8_t> TraceBytes(const QString& details)
{
    const QStringList parts = details.split(QStringLiteral("  "), Qt::SkipEmptyParts);
    EXPECT_EQ(parts.size(), 3) << details.toStdString();
    if (parts.size() != 3)
        return {};
    const QByteArray bytes = QByteArray::fromHex(parts[1].toLatin1());
    QByteArray printable = bytes;
    for (char& c : printable)
        c = (c >= 0x20 && c < 0x7F) ? c : '.';
    EXPECT_EQ(parts[2], "|" + QString::fromLatin1(printable) + "|");
    EXPECT_EQ(parts[0].section('/', 0, 0).toInt(), bytes.size());
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}
