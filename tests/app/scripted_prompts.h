#pragma once
// Answers the window's boxes and file dialogs from a script and keeps what was asked.

#include <deque>
#include <optional>
#include <vector>

#include "app/prompts.h"
#include "scripted_boxes.h"

namespace qv::test {

class ScriptedPrompts final : public Prompts, public ScriptedBoxes {
  public:
    BoxAnswer ShowBox(QWidget* owner, const MessageBox& box) override;
    std::optional<QString> ChooseFileToOpen(QWidget* owner, const QString& filter) override;

    // Each file dialog takes the next entry (empty: the user cancels); none left: cancel.
    std::deque<QString> files;
    std::vector<QString> fileFilters;
};

}  // namespace qv::test
