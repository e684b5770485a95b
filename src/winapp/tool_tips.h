#pragma once
// The tooltips of the window's controls: the status line and the port list show their whole
// text there, as the line and the list may cut it.

#include "winapp/windows_header.h"

#include <string>

namespace qv {

class ToolTips {
  public:
    // The tooltip window of owner's controls, which goes with its owner; without one the
    // controls simply have no tips.
    void Create(HWND owner);
    void Add(HWND control);
    void SetText(HWND control, const std::wstring& text);

  private:
    HWND owner_ = nullptr;
    HWND tips_ = nullptr;
};

}  // namespace qv
