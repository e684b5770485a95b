#include "message_timers.h"

#include <map>

namespace qv::test {

namespace {

using Clock = std::chrono::steady_clock;

// How often a window that is to open is looked for.
constexpr UINT kLookInterval = 20;

std::map<UINT_PTR, std::function<void()>>& Actions() {
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK RunAction(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/) {
    const auto found = Actions().find(timer);
    if (found != Actions().end()) {
        const std::function<void()> action = found->second;  // the action may end its timer
        action();
    }
}

struct Search {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (IsWindowVisible(window) && *search->caption == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

WhilePumping::WhilePumping(std::chrono::milliseconds interval, std::function<void()> action)
    : timer_(SetTimer(nullptr, 0, static_cast<UINT>(interval.count()), &RunAction)) {
    Actions()[timer_] = std::move(action);
}

WhilePumping::~WhilePumping() {
    KillTimer(nullptr, timer_);
    Actions().erase(timer_);
}

HWND FindThreadWindow(const std::wstring& caption) {
    Search search{&caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WhenWindowOpens(std::wstring caption, std::function<void(HWND)> action) {
    const UINT_PTR timer = SetTimer(nullptr, 0, kLookInterval, &RunAction);
    Actions()[timer] = [timer, caption = std::move(caption), action = std::move(action)] {
        const HWND window = FindThreadWindow(caption);
        if (window == nullptr) {
            return;
        }
        KillTimer(nullptr, timer);
        const auto keep = action;
        Actions().erase(timer);  // destroys this lambda: only copies are used from here
        keep(window);
    };
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= until) {
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kLookInterval, QS_ALLINPUT);
    }
    return true;
}

}  // namespace qv::test
