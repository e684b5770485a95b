#include "frontend/exit_rule.h"

namespace qv {

ExitRequest WhatExitDoes(bool jobRunning, bool waitingForRadio) {
    if (waitingForRadio) {
        return ExitRequest::StopWaiting;
    }
    return jobRunning ? ExitRequest::Refused : ExitRequest::Confirm;
}

}  // namespace qv
