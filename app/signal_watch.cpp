#include "app/signal_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

namespace vistrela {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int gPipe[2] = {-1, -1};

void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe drops the signal: the ones before it are still being handled.
    [[maybe_unused]] const ssize_t written = write(gPipe[1], &number, 1);
    errno = saved;
}

}  // namespace

SignalWatch::SignalWatch(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        while (read(gPipe[0], &number, 1) == 1) onSignal_(number);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals) sigaction(s, &action, nullptr);
}

SignalWatch::~SignalWatch() {
    for (const int s : kSignals) std::signal(s, SIG_DFL);
    delete notifier_;
    for (int& fd : gPipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

}  // namespace vistrela
