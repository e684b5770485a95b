#include "scripted_prompts.h"

namespace qv::test {

BoxAnswer ScriptedPrompts::ShowMessage(QWidget* /*owner*/, const std::string& text,
                                       const std::string& caption, BoxButtons buttons,
                                       BoxIcon icon) {
    boxes.push_back(ShownBox{text, caption, buttons, icon});
    return answer ? answer(boxes.back()) : BoxAnswer::Ok;
}

std::optional<QString> ScriptedPrompts::ChooseFileToOpen(QWidget* /*owner*/,
                                                         const QString& filter) {
    fileFilters.push_back(filter);
    if (files.empty()) {
        return std::nullopt;
    }
    const QString next = files.front();
    files.pop_front();
    if (next.isEmpty()) {
        return std::nullopt;  // the user cancelled
    }
    return next;
}

}  // namespace qv::test
