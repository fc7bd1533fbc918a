#include "platform/stop_signals.h"

#include <signal.h>

#include <csignal>

namespace zib {
namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void noteStopSignal(int signal) {
    caught = signal;
}

}  // namespace

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = noteStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a read that waits for a pipe returns
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int stopSignal() {
    return caught;
}

int exitAfterStopSignal(int status) {
    const int signal = caught;
    if (signal == 0) return status;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
    return 128 + signal;  // not reached
}

}  // namespace zib
