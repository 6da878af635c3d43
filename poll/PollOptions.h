#pragma once
// The poller's command line. A bad option or value ends the program before anything is opened,
// with one line on standard error and exit status 2.

#include "common/CommandAnswer.h"
#include "link/AddressScan.h"

#include <QString>
#include <QStringList>

enum class RecordFormat { Csv, JsonLines };

struct PollOptions {
    QString portName = QStringLiteral("COM1");   // a device path given with --port is COM1's device
    int address = 0;
    int count = 0;   // cycles to run; 0: until stopped
    RecordFormat format = RecordFormat::Csv;
    QString outputPath;   // empty: standard output
    bool scan = false;
    ScanOrder order = ScanOrder::Increasing;
    QString tracePath;   // empty: no trace
};

struct PollCommand : CommandAnswer {
    PollCommand() = default;
    PollCommand(const CommandAnswer& answer) : CommandAnswer(answer) {}

    PollOptions options;
};

// The arguments as the program received them, its own path first.
PollCommand ReadPollCommand(const QStringList& arguments);
