#pragma once
// The link's trace: one hook sees every event on the line. With no trace running the hook is
// empty and an event costs the link one test of a pointer; nothing is formatted or written.

#include <QByteArray>
#include <QString>
#include <cstdint>

enum class LinkEvent : uint8_t {
    PurgedOutput,
    PurgedInput,
    RtsRaised,
    RtsDropped,
    Sent,          // bytes: the frame, once it has left the port
    WriteFailed,   // bytes: the frame the port did not take
    EchoDropped,   // bytes: the frame, handed back by the adapter ahead of the reply
    Received,      // bytes: the reply; expected: the length the read asked for
    TimedOut,      // nothing arrived within the read's time-outs; expected as for Received
    ReadFailed,    // the port failed the read
    LineError,     // detail: what the driver counted (framing, parity, overrun, break)
};

struct LinkTraceEntry {
    LinkEvent event;
    const uint8_t* bytes = nullptr;
    int length = 0;
    int expected = 0;
    const char* detail = nullptr;
};

class LinkTraceSink {
public:
    virtual ~LinkTraceSink() = default;
    virtual void record(const LinkTraceEntry& entry) = 0;
};

extern LinkTraceSink* LinkTraceHook;

inline void TraceLink(const LinkTraceEntry& entry)
{
    if (LinkTraceHook)
        LinkTraceHook->record(entry);
}

// Puts sink on the hook (nullptr: none) and returns the one it replaces.
LinkTraceSink* N2SetTraceSink(LinkTraceSink* sink);

// The trace file: starts a new one at path (replacing a file there, ending a trace already
// running) with time stamps counted from now. False, with the reason in error, when the file
// cannot be written; no trace runs then.
bool N2StartTrace(const QString& path, QString& error);
// Ends the trace file, complete on disk; nothing more is written.
void N2StopTrace();

// One line of the trace file, without its line end.
QByteArray FormatTraceLine(long long ms, const LinkTraceEntry& entry);
