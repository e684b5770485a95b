#pragma once
// The window's thread while a worker runs: messages keep flowing (painting, the worker's
// synchronous progress and its end), but nothing may end the program or reach the system menu.

#include <windows.h>

namespace qv {

// One turn: a waiting system key (Alt+F4, F10, Alt alone) and a waiting quit request are taken
// off the queue unhandled; then one message, sent or queued, is handled as the dialog handles
// it, so that Escape and clicks reach its buttons.
void PumpMessages(HWND dialog);

// The first part of a turn alone, for the end of a wait: a quit request or a system key made
// in the wait's last turn (the worker's end and a timer served in one look) is dropped too.
void DropSystemKeysAndQuit();

// Sleeps until a message for this thread arrives, or a slice has passed.
void WaitForMessages();

// Takes the keyboard and mouse input made while the window could not answer off the queue.
void DiscardPendingInput();

}  // namespace qv
