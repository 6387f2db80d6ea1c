#pragma once

// How the stand-alone simulated phone learns that it should end: SIGINT or
// SIGTERM on POSIX; Ctrl-C, Ctrl-Break or the console closing on Windows.

namespace phonesim {

// Call before any thread starts: on POSIX the signals are blocked from then
// on, so that only waitForStopSignal() sees them.
void catchStopSignals();

// Returns once a stop has been asked for (at once if one already was).
void waitForStopSignal();

}  // namespace phonesim
