#pragma once
// What a program's command line answers before anything opens: nothing (the program goes on),
// or an exit status with the text for standard output and standard error. The options every
// program of the project takes alike are read here, so the window and the poller speak alike.

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

constexpr int BadUsage = 2;

struct CommandAnswer {
    std::optional<int> exitStatus;   // set: the program ends at once with this status
    QString output;                  // for standard output
    QString error;                   // for standard error
};

CommandAnswer Ending(int status, const QString& output, const QString& error = QString());
// One line naming the program, the problem and where the help is; exit status 2.
CommandAnswer BadUse(const QString& program, const QString& problem);
// The name the program was started by, or fallback when there is none.
QString ProgramName(const QStringList& arguments, const QString& fallback);

// --help, --version, --port PORT and --trace FILE, added to the parser.
struct CommonOptions {
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption port;
    QCommandLineOption trace;
};
CommonOptions AddCommonOptions(QCommandLineParser& parser);

// Parses the arguments: a bad option or a stray argument (status 2), --help (the usage lines,
// then the options) and --version end the program; otherwise the answer has no exit status.
CommandAnswer ParseCommandLine(QCommandLineParser& parser, const CommonOptions& options, const QStringList& arguments,
                               const QString& program, const QString& usage, const QString& version);
