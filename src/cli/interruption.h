#pragma once
// Ctrl+C, SIGTERM and SIGHUP while qv-flash runs: the first asks every job to stop at its next
// frame boundary (a radio is never left with half a frame); one more, while the jobs stop,
// ends the program at once.

namespace qv::cli {

// signalsToEndAtOnce: the signal that ends the program at once (2 for write; a station lets
// its radios finish at the first and interrupts them at the second, so 3).
void InstallInterruptionHandlers(int signalsToEndAtOnce = 2);

// The signal that first asked to stop; 0 while none has.
int InterruptingSignal();

// How many stop signals have come.
int InterruptCount();

inline bool InterruptRequested() {
    return InterruptingSignal() != 0;
}

// The exit code of a run that a signal interrupted: 128 + the signal, as a shell reports it.
int InterruptedExitCode();

}  // namespace qv::cli
