#pragma once
// Answers the window's boxes from a script (the answerer both windows' tests share) and its
// file dialogs from a list, and keeps what was asked.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "scripted_boxes.h"
#include "winapp/prompts.h"

namespace qv::test {

class ScriptedPrompts final : public Prompts, public ScriptedBoxes {
  public:
    BoxAnswer ShowBox(HWND /*owner*/, const MessageBox& box) override { return Answer(box); }
    std::optional<std::string> ChooseFileToOpen(HWND owner, std::wstring_view filter) override;

    // Each file dialog takes the next entry (UTF-8; empty: the user cancels); none left: cancel.
    std::deque<std::string> files;
    std::vector<std::wstring> fileFilters;
};

}  // namespace qv::test
