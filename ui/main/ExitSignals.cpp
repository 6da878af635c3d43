#include "ui/main/ExitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

int PipeEnds[2] = {-1, -1};

void WriteSignalByte(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // Non-blocking: a full pipe already holds a signal to act on.
    (void)!write(PipeEnds[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

ExitSignals::ExitSignals()
{
    if (pipe2(PipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(PipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ExitSignals::takeSignals);
    handlers_ = std::make_unique<SignalHandlers>(std::initializer_list<int>{SIGTERM, SIGINT, SIGHUP},
                                                 WriteSignalByte);
}

ExitSignals::~ExitSignals()
{
    if (!notifier_)
        return;
    // The old handlers first, so no signal writes to a pipe that is going.
    handlers_.reset();
    delete notifier_;
    close(PipeEnds[0]);
    close(PipeEnds[1]);
    PipeEnds[0] = PipeEnds[1] = -1;
}

void ExitSignals::takeSignals()
{
    char bytes[16];
    ssize_t count = 0;
    while ((count = read(PipeEnds[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit received(bytes[i]);
    }
}
