#pragma once
// The signals that end a desktop program from outside (SIGTERM, SIGINT, SIGHUP at logout),
// turned into a Qt signal on the user-interface thread, so the program can end as if closed by
// hand. The handler only writes one byte to a pipe; everything else runs from the event loop.

#include "common/SignalHandlers.h"

#include <QObject>

#include <memory>

class QSocketNotifier;

class ExitSignals : public QObject {
    Q_OBJECT
public:
    // One instance at a time; it restores the previous handlers when it goes.
    ExitSignals();
    ~ExitSignals() override;

signals:
    void received(int signalNumber);

private:
    void takeSignals();

    QSocketNotifier* notifier_ = nullptr;
    std::unique_ptr<SignalHandlers> handlers_;
};
