#include "poll/RecordFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// One field of a record: its text, and whether JSON takes it as a number, a string or null.
struct Field {
    enum Kind { Empty, Number, Text };
    Kind kind = Empty;
    QByteArray text;
};

Field Integer(long long value)
{
    return {Field::Number, QByteArray::number(value)};
}

// CSV keeps the shortest round-trip text ("nan", "inf" included); JSON has no number for a
// value that is not finite, so it gets the text.
Field Float(float value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return {std::isfinite(value) ? Field::Number : Field::Text, QByteArray(buffer, int(end - buffer))};
}

Field Text(const QString& text)
{
    return {Field::Text, text.toUtf8()};
}

template <typename T, typename Make>
Field Optional(const std::optional<T>& value, Make make)
{
    return value ? make(*value) : Field{};
}

// Local time with its offset from UTC spelled out, "+00:00" included.
QString Timestamp(const QDateTime& time)
{
    const int offsetMinutes = time.offsetFromUtc() / 60;
    const int minutes = std::abs(offsetMinutes);
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
           + QStringLiteral("%1%2:%3")
                 .arg(offsetMinutes < 0 ? '-' : '+')
                 .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString RequestName(const CycleRecord::Failure& failure)
{
    switch (failure.request) {
    case CycleRequest::Identify: return QStringLiteral("identify");
    case CycleRequest::Status: return QStringLiteral("status");
    case CycleRequest::Parameters: return QStringLiteral("parameters");
    case CycleRequest::Point: return PointColumn(*failure.point);
    case CycleRequest::Starts: return QStringLiteral("starts");
    }
    return QString();
}

std::vector<Field> Fields(const CycleRecord& r)
{
    std::vector<Field> fields{Text(Timestamp(r.time)), Integer(r.address)};
    fields.push_back(Optional(r.status, [](const N2Status& s) { return Integer(s.serialNumber); }));
    fields.push_back(Optional(r.status, [](const N2Status& s) { return Integer(s.errorCode); }));
    fields.push_back(Optional(r.parameters, [](const ParameterBlock& p) { return Float(p.tp); }));
    fields.push_back(Optional(r.parameters, [](const ParameterBlock& p) { return Float(p.tc); }));
    fields.push_back(Optional(r.parameters, [](const ParameterBlock& p) { return Integer(p.ke); }));
    fields.push_back(Optional(r.parameters, [](const ParameterBlock& p) { return Integer(p.tl); }));
    fields.push_back(Optional(r.parameters, [](const ParameterBlock& p) { return Integer(p.ti); }));
    for (const std::optional<float>& value : r.points)
        fields.push_back(Optional(value, Float));
    fields.push_back(Optional(r.starts, [](uint16_t starts) { return Integer(starts); }));
    fields.push_back(Optional(r.failure, [](const CycleRecord::Failure& f) { return Text(RequestName(f)); }));
    fields.push_back(Optional(r.failure, [](const CycleRecord::Failure& f) { return Integer(f.code); }));
    return fields;
}

QByteArray JsonString(const QByteArray& text)
{
    // The texts are time stamps, names and "nan"/"inf": nothing to escape.
    return '"' + text + '"';
}

const char* const QuantityNames[] = {"U", "I", "P", "Q", "FP", "S", "Freq", "EAPos", "EANeg",
                                     "ERPos", "ERNeg", "MDA", "DA", "MDS", "DS"};
const char* const PhaseNames[] = {"", "_L1", "_L2", "_L3"};

}  // namespace

QString PointColumn(const MeterPoint& point)
{
    QString name = QString::fromLatin1(QuantityNames[int(point.quantity)]) + QLatin1String(PhaseNames[int(point.phase)]);
    if (*point.unit)
        name += QLatin1Char('_') + QLatin1String(point.unit);
    return name;
}

QStringList RecordColumns()
{
    QStringList columns{"time", "address", "serial_number", "status_code", "TP", "TC", "KE", "TL", "TI"};
    for (const MeterPoint& point : PollingPoints)
        columns.append(PointColumn(point));
    columns.append({"starts", "failed_request", "failure_code"});
    return columns;
}

// No field can hold a comma, a double quote or a line end (numbers, names, time stamps), so
// none needs quoting.
QByteArray CsvHeader()
{
    return RecordColumns().join(QLatin1Char(',')).toUtf8() + "\r\n";
}

QByteArray CsvRow(const CycleRecord& record)
{
    QByteArrayList texts;
    for (const Field& field : Fields(record))
        texts.append(field.text);
    return texts.join(',') + "\r\n";
}

QByteArray JsonLine(const CycleRecord& record)
{
    const QStringList columns = RecordColumns();
    const std::vector<Field> fields = Fields(record);
    QByteArray line = "{";
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += JsonString(columns[int(i)].toUtf8()) + ':';
        switch (fields[i].kind) {
        case Field::Empty: line += "null"; break;
        case Field::Number: line += fields[i].text; break;
        case Field::Text: line += JsonString(fields[i].text); break;
        }
    }
    return line + "}\n";
}
