#pragma once
// Ctrl+C, SIGTERM and SIGHUP while qv-flash runs: the first asks every job to stop at its next
// frame boundary (a radio is never left with half a frame); a second one, while the jobs stop,
// ends the program at once.

namespace qv::cli {

void InstallInterruptionHandlers();

// The signal that asked to stop; 0 while none has.
int InterruptingSignal();

inline bool InterruptRequested() {
    return InterruptingSignal() != 0;
}

// The exit code of a run that a signal interrupted: 128 + the signal, as a shell reports it.
int InterruptedExitCode();

}  // namespace qv::cli
