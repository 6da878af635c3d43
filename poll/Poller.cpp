#include "poll/Poller.h"

#include "link/LinkTrace.h"
#include "link/PortState.h"
#include "link/Wn2.h"
#include "poll/CycleRecord.h"
#include "poll/RecordFormat.h"
#include "poll/StopSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int BaudRate = 9600;

void Say(const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(text));
}

// Standard output or a file; every write reaches the system at once, so a file read during a
// run is whole up to its last line.
class RecordOutput {
public:
    RecordOutput() = default;
    RecordOutput(const RecordOutput&) = delete;
    RecordOutput& operator=(const RecordOutput&) = delete;
    ~RecordOutput()
    {
        if (file_ && file_ != stdout)
            std::fclose(file_);
    }

    bool open(const QString& path)
    {
        name_ = path.isEmpty() ? QStringLiteral("standard output") : path;
        file_ = path.isEmpty() ? stdout : std::fopen(QFile::encodeName(path).constData(), "wb");
        if (!file_)
            Say(QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return file_ != nullptr;
    }
    bool write(const QByteArray& bytes)
    {
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file_) == size_t(bytes.size())
            && std::fflush(file_) == 0)
            return true;
        Say(QStringLiteral("cannot write to %1: %2").arg(name_, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }

private:
    std::FILE* file_ = nullptr;
    QString name_;
};

// A line on standard error rewritten in place, only when a person watches it on a terminal.
class ProgressLine {
public:
    void show(const QString& text)
    {
        if (!terminal_)
            return;
        std::fprintf(stderr, "\r%s\033[K", qPrintable(text));
        shown_ = true;
    }
    // Leaves the last progress on its line, so that what follows starts on a line of its own.
    void end()
    {
        if (shown_)
            std::fputc('\n', stderr);
        shown_ = false;
    }

private:
    bool terminal_ = isatty(STDERR_FILENO) == 1;
    bool shown_ = false;
};

struct Tally {
    int cycles = 0;
    int failedCycles = 0;
    int failedRequests = 0;

    void add(const CycleRecord& record)
    {
        ++cycles;
        failedCycles += record.Succeeded() ? 0 : 1;
        failedRequests += record.FailedRequests();
    }
};

QString Seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000, 'f', 1) + QStringLiteral(" s");
}

int Poll(const PollOptions& options, RecordOutput& output)
{
    const bool csv = options.format == RecordFormat::Csv;
    if (csv && !output.write(CsvHeader()))
        return 1;
    ProgressLine progress;
    Tally tally;
    bool written = true;
    QElapsedTimer run;
    run.start();
    while (written && !StopRequested && (options.count == 0 || tally.cycles < options.count)) {
        QElapsedTimer cycleTime;
        cycleTime.start();
        const CycleRecord record = ReadCycle(options.address, StopRequested);
        if (!record.Finished())
            break;
        tally.add(record);
        written = output.write(csv ? CsvRow(record) : JsonLine(record));
        progress.show(QStringLiteral("cycles: %1, failed: %2, last cycle: %3")
                          .arg(tally.cycles)
                          .arg(tally.failedCycles)
                          .arg(QString::number(double(cycleTime.elapsed()) / 1000, 'f', 2) + QStringLiteral(" s")));
    }
    progress.end();
    Say(QStringLiteral("cycles: %1 (%2 whole, %3 failed), failed requests: %4, elapsed: %5")
            .arg(tally.cycles)
            .arg(tally.cycles - tally.failedCycles)
            .arg(tally.failedCycles)
            .arg(tally.failedRequests)
            .arg(Seconds(run.elapsed())));
    return written && tally.cycles > tally.failedCycles ? 0 : 1;
}

int Scan(const PollOptions& options, RecordOutput& output)
{
    ProgressLine progress;
    const ScanResult result = ScanAddresses(options.order, [&progress](int address) {
        progress.show(QStringLiteral("trying address %1").arg(address));
        return StopRequested == 0;
    });
    progress.end();
    switch (result.kind) {
    case ScanResult::Found:
        return output.write(QByteArray::number(result.address) + '\n') ? 0 : 1;
    case ScanResult::NotFound:
        Say(QStringLiteral("no meter answered at any address from 1 to 255. Check that the meter is connected and "
                           "alone on the line."));
        return 1;
    case ScanResult::Stopped:
        Say(QStringLiteral("scan stopped before a meter answered."));
        return 1;
    }
    return 1;
}

}  // namespace

int RunPoller(const PollOptions& options)
{
    StopSignals stopSignals;
    QString error;
    if (!options.tracePath.isEmpty() && !N2StartTrace(options.tracePath, error)) {
        Say(error);
        return BadUsage;
    }
    RecordOutput output;
    if (!output.open(options.outputPath)) {
        N2StopTrace();
        return BadUsage;
    }
    int status = 1;
    if (N2OpenPort(options.portName, BaudRate) == 1)
        status = options.scan ? Scan(options, output) : Poll(options, output);
    else
        Say(N2CurrentPortStatus().sentence);
    N2ClosePort();
    N2StopTrace();
    return status;
}
