#include "phonesim/StopSignal.h"

#include <windows.h>

namespace phonesim {

namespace {

HANDLE stopEvent = nullptr;

BOOL WINAPI onConsoleEvent(DWORD type) {
    ::SetEvent(stopEvent);
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
        // The process ends as soon as this returns: hold it while the main
        // thread stops the phone and saves its state (the end of main ends
        // the process, this thread too).
        ::Sleep(INFINITE);
    }
    return TRUE;
}

}  // namespace

void catchStopSignals() {
    if (stopEvent == nullptr) {
        stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    }
}

void waitForStopSignal() {
    catchStopSignals();
    ::WaitForSingleObject(stopEvent, INFINITE);
}

}  // namespace phonesim
