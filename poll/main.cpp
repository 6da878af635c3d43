// qvt-n2-poll: the window's polling cycle without a window, one record per cycle.
#include "poll/PollOptions.h"
#include "poll/Poller.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const PollCommand command = ReadPollCommand(QCoreApplication::arguments());
    std::fputs(command.output.toLocal8Bit().constData(), stdout);
    std::fputs(command.error.toLocal8Bit().constData(), stderr);
    if (command.exitStatus)
        return *command.exitStatus;
    return RunPoller(command.options);
}
