#include "phonesim/StopSignal.h"

#include <pthread.h>
#include <signal.h>

namespace phonesim {

namespace {

sigset_t stopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

}  // namespace

void catchStopSignals() {
    const sigset_t signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void waitForStopSignal() {
    const sigset_t signals = stopSignals();
    int received = 0;
    sigwait(&signals, &received);
}

}  // namespace phonesim
