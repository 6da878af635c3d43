#include "poll/PollOptions.h"

#include "common/NumberText.h"
#include "link/PortMap.h"

#include <QCommandLineParser>

namespace {

// The same facts and limits as the main window's address box.
QString AddressProblem(const QString& text)
{
    const TypedAddress typed = ParseAddress(text);
    if (typed.kind == TypedAddress::Integer && typed.InRange())
        return QString();
    if (typed.kind == TypedAddress::Integer)
        return QStringLiteral("--address %1: the address must be between %2 and %3.").arg(text).arg(FirstAddress).arg(LastAddress);
    return QStringLiteral("--address '%1': not a whole number.").arg(text);
}

}  // namespace

PollCommand ReadPollCommand(const QStringList& arguments)
{
    const QString program = ProgramName(arguments, QStringLiteral("qvt-n2-poll"));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Reads every live measurement of one N2 meter over and over, as the QVT_N2 window does, and writes\n"
        "one record per cycle: a failed cycle too, with the request that failed and its code. Ctrl-C\n"
        "(SIGINT) or SIGTERM ends the run after the request in progress; the cycle it cuts short is not\n"
        "written. Exit status: 0 when a cycle succeeded, 1 when none did or the port did not open,\n"
        "2 for a bad option."));
    const CommonOptions common = AddCommonOptions(parser);
    const QCommandLineOption address(QStringLiteral("address"), QStringLiteral("The meter's address, 1 to 255."),
                                     QStringLiteral("N"));
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("Cycles to run; 0 (the default) runs until stopped."),
                                   QStringLiteral("N"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("csv (the default: RFC 4180, one header row) or jsonl (one JSON "
                                                   "object per line)."),
                                    QStringLiteral("FORMAT"));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Writes the records (or the address found) to FILE, replacing it, "
                                                   "instead of standard output."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption scan(QStringLiteral("scan"),
                                  QStringLiteral("Finds the address of a meter alone on the line, trying 1 to 255, "
                                                 "and prints it."));
    const QCommandLineOption decreasing(QStringLiteral("decreasing"),
                                        QStringLiteral("With --scan: tries 255 down to 1."));
    parser.addOptions({address, count, format, output, scan, decreasing});

    const CommandAnswer parsed =
        ParseCommandLine(parser, common, arguments, program,
                         QStringLiteral("Usage: %1 --address N [options]\n"
                                        "       %1 --scan [--decreasing] [options]\n")
                             .arg(program),
                         QStringLiteral(QVT_N2_VERSION));
    if (parsed.exitStatus)
        return parsed;

    PollCommand command;
    PollOptions& options = command.options;
    if (parser.isSet(common.port)) {
        options.portName = N2PortArgument(parser.value(common.port));
        if (options.portName.isEmpty())
            return BadUse(program, N2PortArgumentProblem(parser.value(common.port)));
    }
    options.scan = parser.isSet(scan);
    if (options.scan && (parser.isSet(address) || parser.isSet(count) || parser.isSet(format)))
        return BadUse(program, QStringLiteral("--scan finds the address and reads nothing: leave out --address, "
                                              "--count and --format."));
    if (parser.isSet(decreasing) && !options.scan)
        return BadUse(program, QStringLiteral("--decreasing goes with --scan."));
    if (parser.isSet(decreasing))
        options.order = ScanOrder::Decreasing;
    if (!options.scan && !parser.isSet(address))
        return BadUse(program, QStringLiteral("Give the meter's address with --address N, or find it with --scan."));
    if (parser.isSet(address)) {
        const QString problem = AddressProblem(parser.value(address));
        if (!problem.isEmpty())
            return BadUse(program, problem);
        options.address = ParseAddress(parser.value(address)).value;
    }
    if (parser.isSet(count) && (!TextToInt(parser.value(count), options.count) || options.count < 0))
        return BadUse(program, QStringLiteral("--count '%1': give a number of cycles, or 0 to run until stopped.")
                                   .arg(parser.value(count)));
    if (parser.isSet(format)) {
        if (parser.value(format) == QLatin1String("csv"))
            options.format = RecordFormat::Csv;
        else if (parser.value(format) == QLatin1String("jsonl"))
            options.format = RecordFormat::JsonLines;
        else
            return BadUse(program, QStringLiteral("--format '%1': csv or jsonl.").arg(parser.value(format)));
    }
    options.outputPath = parser.value(output);
    options.tracePath = parser.value(common.trace);
    if ((parser.isSet(output) && options.outputPath.isEmpty()) || (parser.isSet(common.trace) && options.tracePath.isEmpty()))
        return BadUse(program, QStringLiteral("--output and --trace need a file name."));
    return command;
}
