#include "toolkit/platform/signals.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace toolkit {

namespace {

// A signal handler may do next to nothing: it writes one byte, and the event loop reads it.
int wakeWriteEnd = -1;

void onSignal(int number) {
    std::signal(number, SIG_DFL);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWriteEnd, &byte, 1);
}

} // namespace

void closeWindowsOnSignals() {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return;
    }
    wakeWriteEnd = ends[0];
    auto *notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier] {
        char byte;
        [[maybe_unused]] const ssize_t read =
            ::read(static_cast<int>(notifier->socket()), &byte, 1);
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(number, &action, nullptr);
    }
}

} // namespace toolkit
