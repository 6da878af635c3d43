#pragma once
// The poller's command line. A bad option or value ends the program before anything is opened,
// with one line on standard error and exit status 2.

#include "link/AddressScan.h"

#include <QString>
#include <QStringList>

#include <optional>

enum class RecordFormat { Csv, JsonLines };

struct PollOptions {
    QString portName = QStringLiteral("COM1");   // a COM name or a device path
    int address = 0;
    int count = 0;   // cycles to run; 0: until stopped
    RecordFormat format = RecordFormat::Csv;
    QString outputPath;   // empty: standard output
    bool scan = false;
    ScanOrder order = ScanOrder::Increasing;
    QString tracePath;   // empty: no trace
};

struct PollCommand {
    std::optional<int> exitStatus;   // set: the program ends at once with this status
    QString output;                  // for standard output
    QString error;                   // for standard error
    PollOptions options;
};

constexpr int BadUsage = 2;

// The arguments as the program received them, its own path first.
PollCommand ReadPollCommand(const QStringList& arguments);
