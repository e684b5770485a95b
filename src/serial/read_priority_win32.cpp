#include "serial/read_priority_win32.h"

namespace qv {

// Time-critical is the highest a thread gets without the real-time class, which needs the
// administrator and would starve the whole machine; a refusal only costs the advantage.
ReadPriorityBoost::ReadPriorityBoost() {
    const HANDLE thread = GetCurrentThread();
    previous_ = GetThreadPriority(thread);
    raised_ = previous_ != THREAD_PRIORITY_ERROR_RETURN &&
              SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL) != 0;
}

ReadPriorityBoost::~ReadPriorityBoost() {
    if (raised_) {
        SetThreadPriority(GetCurrentThread(), previous_);
    }
}

}  // namespace qv
