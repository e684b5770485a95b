#pragma once
// Input that waited in the window's queue for a moment that has passed: taken off unhandled.

#include "winapp/windows_header.h"

namespace qv {

// The keyboard and mouse input made while the window could not answer (the start-up's probe).
void DiscardPendingInput();

// A waiting system key (Alt+F4, F10, Alt alone) and a waiting quit request: made while a job
// ran, when they were refused, they do not act once it has ended.
void DropCloseRequests();

}  // namespace qv
