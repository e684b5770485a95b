#pragma once
// Answers the application's boxes and file dialogs from a script and keeps what was asked.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/prompts.h"

namespace qv::test {

struct ShownBox {
    std::string text;
    std::string caption;
    BoxButtons buttons;
    BoxIcon icon;
};

class ScriptedPrompts final : public Prompts {
  public:
    BoxAnswer ShowMessage(QWidget* owner, const std::string& text, const std::string& caption,
                          BoxButtons buttons, BoxIcon icon) override;
    std::optional<QString> ChooseFileToOpen(QWidget* owner, const QString& filter) override;

    // Every box shown so far, in order.
    std::vector<ShownBox> boxes;
    // Decides each answer; without it every box is answered with OK.
    std::function<BoxAnswer(const ShownBox&)> answer;
    // Each file dialog takes the next entry (empty: the user cancels); none left: cancel.
    std::deque<QString> files;
    std::vector<QString> fileFilters;
};

}  // namespace qv::test
