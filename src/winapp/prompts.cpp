#include "winapp/prompts.h"

#include <commdlg.h>

#include <vector>

#include "winapp/wide_text.h"

namespace qv {

namespace {

// Room for a path up to the longest Windows takes, not MAX_PATH alone.
constexpr DWORD kLongestPath = 32768;

UINT BoxStyle(BoxButtons buttons, BoxIcon icon) {
    UINT style = buttons == BoxButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    switch (icon) {
        case BoxIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
        case BoxIcon::Question:
            style |= MB_ICONQUESTION;
            break;
        case BoxIcon::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case BoxIcon::Stop:
            style |= MB_ICONSTOP;
            break;
        case BoxIcon::None:
            break;
    }
    // OK is the default button; with Cancel, Escape gives Cancel.
    return style | MB_DEFBUTTON1;
}

}  // namespace

BoxAnswer Win32Prompts::ShowBox(HWND owner, const MessageBox& box) {
    const int pressed = MessageBoxW(owner, Wide(box.text).c_str(), Wide(box.caption).c_str(),
                                    BoxStyle(box.buttons, box.icon));
    return pressed == IDOK ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

std::optional<std::string> Win32Prompts::ChooseFileToOpen(HWND owner, std::wstring_view filter) {
    const std::wstring filterText = std::wstring(filter) + L'\0';
    std::vector<wchar_t> path(kLongestPath, L'\0');  // no initial name
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterText.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kLongestPath;
    // No default extension. The working folder stays where it was.
    dialog.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&dialog) == 0) {
        return std::nullopt;
    }
    return Utf8(path.data());
}

}  // namespace qv
