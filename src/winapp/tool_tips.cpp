#include "winapp/tool_tips.h"

#include <commctrl.h>

namespace qv {

namespace {

TOOLINFOW ToolOf(HWND owner, HWND control, const wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

}  // namespace

void ToolTips::Create(HWND owner) {
    owner_ = owner;
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
}

void ToolTips::Add(HWND control) {
    if (tips_ == nullptr) {
        return;
    }
    TOOLINFOW tool = ToolOf(owner_, control, L"");
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ToolTips::SetText(HWND control, const std::wstring& text) {
    if (tips_ == nullptr) {
        return;
    }
    TOOLINFOW tool = ToolOf(owner_, control, text.c_str());
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace qv
