#pragma once
// What Exit, Escape and the close box do: nothing while a job runs, stop the wait while the
// window waits for the next radio (stopping the wait is not leaving the program), and
// otherwise ask before the program ends.

namespace qv {

enum class ExitRequest { Refused, StopWaiting, Confirm };

ExitRequest WhatExitDoes(bool jobRunning, bool waitingForRadio);

}  // namespace qv
