#pragma once
// SIGINT and SIGTERM ask the program to stop. Once caught, the message loop quits at its next
// event processing (Application::doEvents), the clock's sleep ends early, and a blocking read of
// a pipe gives up; the program then leaves its loops, its destructors remove its temporary
// folders, and main ends the process as the signal would have (exitAfterStopSignal).
namespace zib {

// Installs the handlers. Blocking system calls are not restarted after them.
void catchStopSignals();

// The signal caught (SIGINT or SIGTERM), or 0 while none was.
int stopSignal();

// main's last word: with no stop signal caught, status; else the process ends by the signal it
// caught, with its default action, so that its parent sees how it ended.
int exitAfterStopSignal(int status);

}  // namespace zib
