#include "common/CommandAnswer.h"

#include <QCommandLineParser>
#include <QFileInfo>

CommandAnswer Ending(int status, const QString& output, const QString& error)
{
    return {status, output, error};
}

CommandAnswer BadUse(const QString& program, const QString& problem)
{
    return Ending(BadUsage, QString(), QStringLiteral("%1: %2 See '%1 --help'.\n").arg(program, problem));
}

QString ProgramName(const QStringList& arguments, const QString& fallback)
{
    return arguments.isEmpty() ? fallback : QFileInfo(arguments.first()).fileName();
}

CommonOptions AddCommonOptions(QCommandLineParser& parser)
{
    const CommonOptions options{
        QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help.")),
        QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                           QStringLiteral("Shows the program's version.")),
        QCommandLineOption(QStringLiteral("port"),
                           QStringLiteral("The port: a COM name (COM1, COM2, ...) or a device path, which COM1 "
                                          "then means (for example /dev/serial/by-id/usb-FTDI_...). COM1 when "
                                          "not given."),
                           QStringLiteral("PORT")),
        QCommandLineOption(QStringLiteral("trace"),
                           QStringLiteral("Writes every event on the line to FILE, replacing it."),
                           QStringLiteral("FILE"))};
    parser.addOptions({options.help, options.version, options.port, options.trace});
    return options;
}

CommandAnswer ParseCommandLine(QCommandLineParser& parser, const CommonOptions& options, const QStringList& arguments,
                               const QString& program, const QString& usage, const QString& version)
{
    if (!parser.parse(arguments))
        return BadUse(program, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return BadUse(program, QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    // Qt's help begins with a usage line of its own, which the program's lines replace.
    if (parser.isSet(options.help))
        return Ending(0, usage + parser.helpText().section('\n', 1));
    if (parser.isSet(options.version))
        return Ending(0, QStringLiteral("%1 %2\n").arg(program, version));
    return {};
}
