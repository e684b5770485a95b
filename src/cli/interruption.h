#pragma once
// Ctrl+C, SIGTERM and SIGHUP while qv-flash runs: the first asks every job to stop at its next
// frame boundary (a radio is never left with half a frame); one more, while the jobs stop,
// ends the program at once, once the radios being written are recorded.

#include <chrono>
#include <memory>

#include "cli/writing_radios.h"

namespace qv::cli {

// The forced exit gives the record this long for the interrupted radios' lines (a few hundred
// bytes each): a record on a dead network share must not hang the exit.
inline constexpr std::chrono::milliseconds kForcedExitRecordTime{1000};

// signalsToEndAtOnce: the signal that ends the program at once (2 for write; a station lets
// its radios finish at the first and interrupts them at the second, so 3). writing: the radios
// the forced exit records first; nullptr when the run keeps no record.
void InstallInterruptionHandlers(int signalsToEndAtOnce = 2,
                                 std::shared_ptr<WritingRadios> writing = nullptr);

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
