#pragma once
// The port listing of the command line: every serial port the system sees, with the name to
// use for it, what it is, the COM names that reach it and whether this user may open it.

#include <QString>

QString PortListText();

// Why this user cannot open the device for reading and writing, in the person's words; empty
// when it can.
QString OpenRefusal(const QString& devicePath);
