#pragma once
// What the window asks the user through Windows itself: the presenter's message boxes and the
// file-open dialog. The windows ask through this interface, so a test can answer them from a
// script.

#include "winapp/windows_header.h"

#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/message_box.h"

namespace qv {

// "MOT File(*.srec)|*.srec||" as the file dialog takes it: pairs of texts, each ending in a zero.
inline constexpr wchar_t kMotFileFilterText[] = L"MOT File(*.srec)\0*.srec\0";
inline constexpr std::wstring_view kMotFileFilter(kMotFileFilterText,
                                                  std::size(kMotFileFilterText) - 1);

class Prompts {
  public:
    virtual ~Prompts() = default;
    // The box modal to owner; returns the button pressed.
    virtual BoxAnswer ShowBox(HWND owner, const MessageBox& box) = 0;
    // The full path of the chosen file (UTF-8), or nothing when the user cancels.
    virtual std::optional<std::string> ChooseFileToOpen(HWND owner, std::wstring_view filter) = 0;
};

// The real thing: MessageBoxW and GetOpenFileNameW.
class Win32Prompts final : public Prompts {
  public:
    BoxAnswer ShowBox(HWND owner, const MessageBox& box) override;
    std::optional<std::string> ChooseFileToOpen(HWND owner, std::wstring_view filter) override;
};

}  // namespace qv
