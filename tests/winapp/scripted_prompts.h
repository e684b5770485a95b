#pragma once
// Answers the window's boxes and file dialogs from a script and keeps what was asked.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "winapp/prompts.h"

namespace qv::test {

struct ShownBox {
    std::string text;
    std::string caption;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
};

class ScriptedPrompts final : public Prompts {
  public:
    BoxAnswer ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                          BoxButtons buttons, BoxIcon icon) override;
    std::optional<std::string> ChooseFileToOpen(HWND owner, std::wstring_view filter) override;

    // Every box shown so far, in order.
    std::vector<ShownBox> boxes;
    // Decides each answer; without it every box is answered with OK.
    std::function<BoxAnswer(const ShownBox&)> answer;
    // Each file dialog takes the next entry (UTF-8; empty: the user cancels); none left: cancel.
    std::deque<std::string> files;
    std::vector<std::wstring> fileFilters;
};

}  // namespace qv::test
