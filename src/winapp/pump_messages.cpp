#include "winapp/pump_messages.h"

#include <chrono>

namespace qv {

namespace {

// The wait wakes for every message, the worker's end among them; the slice only bounds a
// wake-up that the system might miss.
constexpr std::chrono::milliseconds kWaitSlice{50};

}  // namespace

void DropSystemKeysAndQuit() {
    MSG message;
    PeekMessageW(&message, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

void PumpMessages(HWND dialog) {
    DropSystemKeysAndQuit();
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) == 0) {
        return;
    }
    if (message.message == WM_SYSKEYDOWN || message.message == WM_QUIT) {
        return;  // arrived between the looks above
    }
    if (dialog == nullptr || IsDialogMessageW(dialog, &message) == 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WaitForMessages() {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(kWaitSlice.count()), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

void DiscardPendingInput() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) != 0) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) != 0) {
    }
}

}  // namespace qv
