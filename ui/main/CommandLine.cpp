#include "ui/main/CommandLine.h"

#include "link/LinkTrace.h"
#include "link/PortList.h"
#include "link/PortMap.h"
#include "ui/main/Version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

constexpr int BadUsage = 2;

// Qt's application options: with a value, then without. Hidden from the help, passed on to Qt.
const char* const QtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowtitle", "title", "qwindowicon", "icon", "session", "display", "name", "visual",
    "style", "stylesheet", "qmljsdebugger"};
const char* const QtFlags[] = {"reverse", "testability", "dograb", "nograb", "widgetcount", "qdevel", "qdebug"};

void AddQtOptions(QCommandLineParser& parser)
{
    for (const char* name : QtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : QtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

CommandLine Ending(int status, const QString& output, const QString& error = QString())
{
    CommandLine ending;
    ending.exitStatus = status;
    ending.output = output;
    ending.error = error;
    return ending;
}

CommandLine BadUse(const QString& program, const QString& problem)
{
    return Ending(BadUsage, QString(), QStringLiteral("%1: %2 See '%1 --help'.\n").arg(program, problem));
}

// Qt's help begins with a usage line naming the program as Qt's application object would.
QString HelpText(const QCommandLineParser& parser, const QString& program)
{
    return QStringLiteral("Usage: %1 [options]\n").arg(program) + parser.helpText().section('\n', 1);
}

// A COM name is the port to start on; a device path is what the start port, COM1, then means.
bool TakePort(const QString& value, CommandLine& start)
{
    if (ComNumber(value.toUpper()) > 0) {
        start.startPort = value.toUpper();
        return true;
    }
    if (!value.contains('/'))
        return false;
    N2SetPortDevice(start.startPort, QFileInfo(value).absoluteFilePath());
    return true;
}

}  // namespace

CommandLine ReadCommandLine(const QStringList& arguments)
{
    const QString program = arguments.isEmpty() ? QStringLiteral("qvt_n2") : QFileInfo(arguments.first()).fileName();

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Service tool for an N2 meter on an RS-485 line. Qt's own options "
                       "(-platform, -style, ...) are accepted too."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the program's version."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Starts on this port: a COM name (COM1, COM2, ...) or a device "
                                                 "path, which COM1 then means (for example "
                                                 "/dev/serial/by-id/usb-FTDI_...)."),
                                  QStringLiteral("PORT"));
    const QCommandLineOption listPorts(QStringLiteral("list-ports"),
                                       QStringLiteral("Lists the serial ports, the COM names that reach them and "
                                                      "whether you may open them."));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Writes every event on the line to FILE, replacing it."),
                                   QStringLiteral("FILE"));
    parser.addOptions({help, version, port, listPorts, trace});
    AddQtOptions(parser);

    if (!parser.parse(arguments))
        return BadUse(program, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return BadUse(program, QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.isSet(help))
        return Ending(0, HelpText(parser, program));
    if (parser.isSet(version))
        return Ending(0, QStringLiteral("%1 %2\n").arg(program, QString::fromLatin1(ProgramVersion)));
    CommandLine start;
    if (parser.isSet(port) && !TakePort(parser.value(port), start)) {
        return BadUse(program, QStringLiteral("--port %1: give a COM name (COM1, COM2, ...) or a device path "
                                              "(for example /dev/ttyUSB0).")
                                   .arg(parser.value(port)));
    }
    if (parser.isSet(listPorts))
        return Ending(0, PortListText());
    QString traceError;
    if (parser.isSet(trace) && !N2StartTrace(parser.value(trace), traceError))
        return Ending(BadUsage, QString(), QStringLiteral("%1: %2\n").arg(program, traceError));
    return start;
}
