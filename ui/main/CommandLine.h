#pragma once
// The program's command line, read before any window exists, so that --help, --version,
// --list-ports and a mistyped option work without a display. Qt's own options (-platform,
// -style, ...) are accepted here and left to the application object.

#include "common/CommandAnswer.h"

// An exit status set: the program ends at once, no window.
struct CommandLine : CommandAnswer {
    CommandLine() = default;
    CommandLine(const CommandAnswer& answer) : CommandAnswer(answer) {}

    QString startPort = QStringLiteral("COM1");
};

// The arguments as the program received them, its own path first. A device path given with
// --port becomes the device of COM1 (N2SetPortDevice), for the listing as for the window.
// --trace starts the line trace here, before the window opens the port.
CommandLine ReadCommandLine(const QStringList& arguments);
