#include "link/LinkTrace.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>

#include <memory>

LinkTraceSink* LinkTraceHook = nullptr;

namespace {

const char* EventName(LinkEvent event)
{
    switch (event) {
    case LinkEvent::PurgedOutput:
    case LinkEvent::PurgedInput: return "purge";
    case LinkEvent::RtsRaised:
    case LinkEvent::RtsDropped: return "rts";
    case LinkEvent::Sent: return "tx";
    case LinkEvent::WriteFailed: return "tx-fail";
    case LinkEvent::EchoDropped: return "echo";
    case LinkEvent::Received: return "rx";
    case LinkEvent::TimedOut: return "timeout";
    case LinkEvent::ReadFailed: return "rx-fail";
    case LinkEvent::LineError: return "line-err";
    }
    return "?";
}

QByteArray Printable(const uint8_t* bytes, int length)
{
    QByteArray text(length, '.');
    for (int i = 0; i < length; ++i) {
        if (bytes[i] >= 0x20 && bytes[i] < 0x7F)
            text[i] = static_cast<char>(bytes[i]);
    }
    return text;
}

// What follows the event's name.
QByteArray Details(const LinkTraceEntry& e)
{
    switch (e.event) {
    case LinkEvent::PurgedOutput: return "output";
    case LinkEvent::PurgedInput: return "input";
    case LinkEvent::RtsRaised: return "on";
    case LinkEvent::RtsDropped: return "off";
    case LinkEvent::TimedOut: return QByteArray::number(0) + '/' + QByteArray::number(e.expected);
    case LinkEvent::ReadFailed: return {};
    case LinkEvent::LineError: return e.detail ? QByteArray(e.detail) : QByteArray();
    default: break;
    }
    QByteArray length = QByteArray::number(e.length);
    if (e.event == LinkEvent::Received)
        length += '/' + QByteArray::number(e.expected);
    const QByteArray raw(reinterpret_cast<const char*>(e.bytes), e.length);
    return length.leftJustified(8) + raw.toHex(' ').toUpper() + "  |" + Printable(e.bytes, e.length) + '|';
}

class TraceFile : public LinkTraceSink {
public:
    bool open(const QString& path, QString& error)
    {
        file_.setFileName(path);
        // Unbuffered: every line is on disk as soon as it is written, whatever ends the program.
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            error = QStringLiteral("cannot write the trace file %1: %2").arg(path, file_.errorString());
            return false;
        }
        clock_.start();
        const QDateTime now = QDateTime::currentDateTime();
        const QByteArray started = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs).toUtf8();
        file_.write("# QVT_N2 line trace, started " + started + "\n"
                    "# ms since then, event, length (of a reply: received/asked), bytes in hex, |printable ASCII|\n");
        return true;
    }
    void record(const LinkTraceEntry& entry) override
    {
        file_.write(FormatTraceLine(clock_.elapsed(), entry) + '\n');
    }

private:
    QFile file_;
    QElapsedTimer clock_;
};

std::unique_ptr<TraceFile> RunningTrace;

}  // namespace

QByteArray FormatTraceLine(long long ms, const LinkTraceEntry& entry)
{
    QByteArray line = QByteArray::number(ms).rightJustified(8) + "  " + EventName(entry.event);
    const QByteArray details = Details(entry);
    if (!details.isEmpty())
        line = line.leftJustified(20) + details;
    return line;
}

LinkTraceSink* N2SetTraceSink(LinkTraceSink* sink)
{
    LinkTraceSink* previous = LinkTraceHook;
    LinkTraceHook = sink;
    return previous;
}

bool N2StartTrace(const QString& path, QString& error)
{
    N2StopTrace();
    auto trace = std::make_unique<TraceFile>();
    if (!trace->open(path, error))
        return false;
    RunningTrace = std::move(trace);
    N2SetTraceSink(RunningTrace.get());
    return true;
}

void N2StopTrace()
{
    if (!RunningTrace)
        return;
    if (LinkTraceHook == RunningTrace.get())
        N2SetTraceSink(nullptr);
    RunningTrace.reset();
}
