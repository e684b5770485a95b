#pragma once
// Test code that runs inside the window's own loops: the window's message loop and the modal
// dialogs pump this thread's messages, and a thread timer's action runs there.

#include "winapp/windows_header.h"

#include <chrono>
#include <functional>
#include <string>

namespace qv::test {

// Runs action every interval for its lifetime, whenever this thread's messages are pumped.
class WhilePumping {
  public:
    WhilePumping(std::chrono::milliseconds interval, std::function<void()> action);
    ~WhilePumping();
    WhilePumping(const WhilePumping&) = delete;
    WhilePumping& operator=(const WhilePumping&) = delete;

  private:
    UINT_PTR timer_;
};

// Runs action once on the next visible window of this thread with the caption, once it is open
// (from inside its modal loop).
void WhenWindowOpens(std::wstring caption, std::function<void(HWND)> action);

// Pumps this thread's messages until done says so or the time is up; false on time-out.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// The visible window of this thread with the caption, or null.
HWND FindThreadWindow(const std::wstring& caption);

}  // namespace qv::test
