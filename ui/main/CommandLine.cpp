#include "ui/main/CommandLine.h"

#include "link/LinkTrace.h"
#include "link/PortList.h"
#include "link/PortMap.h"
#include "ui/main/Version.h"

#include <QCommandLineParser>

namespace {

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

}  // namespace

CommandLine ReadCommandLine(const QStringList& arguments)
{
    const QString program = ProgramName(arguments, QStringLiteral("qvt_n2"));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Service tool for an N2 meter on an RS-485 line. Qt's own options "
                       "(-platform, -style, ...) are accepted too."));
    const CommonOptions common = AddCommonOptions(parser);
    const QCommandLineOption listPorts(QStringLiteral("list-ports"),
                                       QStringLiteral("Lists the serial ports, the COM names that reach them and "
                                                      "whether you may open them."));
    parser.addOption(listPorts);
    AddQtOptions(parser);

    const CommandAnswer parsed = ParseCommandLine(parser, common, arguments, program,
                                                  QStringLiteral("Usage: %1 [options]\n").arg(program),
                                                  QString::fromLatin1(ProgramVersion));
    if (parsed.exitStatus)
        return parsed;
    CommandLine start;
    if (parser.isSet(common.port)) {
        start.startPort = N2PortArgument(parser.value(common.port));
        if (start.startPort.isEmpty())
            return BadUse(program, N2PortArgumentProblem(parser.value(common.port)));
    }
    if (parser.isSet(listPorts))
        return Ending(0, PortListText());
    QString traceError;
    if (parser.isSet(common.trace) && !N2StartTrace(parser.value(common.trace), traceError))
        return Ending(BadUsage, QString(), QStringLiteral("%1: %2\n").arg(program, traceError));
    return start;
}
