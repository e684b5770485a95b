#pragma once
// Every question the window puts to the user: the modal message boxes and the file-open dialog.
// The windows ask through this interface, so a test can answer them from a script.

#include <windows.h>

#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "workflow/job_host.h"

namespace qv {

// "MOT File(*.srec)|*.srec||" as the file dialog takes it: pairs of texts, each ending in a zero.
inline constexpr wchar_t kMotFileFilterText[] = L"MOT File(*.srec)\0*.srec\0";
inline constexpr std::wstring_view kMotFileFilter(kMotFileFilterText,
                                                  std::size(kMotFileFilterText) - 1);

class Prompts {
  public:
    virtual ~Prompts() = default;
    // A box modal to owner; returns the button pressed.
    virtual BoxAnswer ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                                  BoxButtons buttons, BoxIcon icon) = 0;
    // The full path of the chosen file (UTF-8), or nothing when the user cancels.
    virtual std::optional<std::string> ChooseFileToOpen(HWND owner, std::wstring_view filter) = 0;
};

// The real thing: MessageBoxW and GetOpenFileNameW.
class Win32Prompts final : public Prompts {
  public:
    BoxAnswer ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                          BoxButtons buttons, BoxIcon icon) override;
    std::optional<std::string> ChooseFileToOpen(HWND owner, std::wstring_view filter) override;
};

}  // namespace qv
