#pragma once
// The end of a session, a `kill` or Ctrl+C in a terminal (SIGTERM, SIGHUP, SIGINT) reaches the
// program as an ordinary event: the handler only writes the signal's number into a pipe, and a
// socket notifier on the user-interface thread passes it on, so the program can stop a
// recording, join its movie and end as a closed window does.
//
// Threads: built and used on the user-interface thread; one at a time in a process.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace vistrela {

class SignalWatch : public QObject {
    Q_OBJECT
public:
    // `onSignal` runs on the user-interface thread with the signal's number, once per signal.
    explicit SignalWatch(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    // Restores the default handlers.
    ~SignalWatch() override;

private:
    std::function<void(int)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vistrela
