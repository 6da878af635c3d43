#pragma once
// The poller's records as text: the columns, a CSV row (RFC 4180) and a JSON line. Numbers use
// '.' whatever the locale; a float keeps full single precision (the shortest text that reads
// back as the same float).

#include "poll/CycleRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The column of a point: quantity, phase and unit, e.g. "U_L1_V", "FP_L2", "EAPos_kWh".
QString PointColumn(const MeterPoint& point);
// time, address, serial_number, status_code, TP, TC, KE, TL, TI, the points, starts,
// failed_request, failure_code.
QStringList RecordColumns();

// Each ends with its line end: CRLF for CSV, LF for JSON lines.
QByteArray CsvHeader();
QByteArray CsvRow(const CycleRecord& record);
QByteArray JsonLine(const CycleRecord& record);
