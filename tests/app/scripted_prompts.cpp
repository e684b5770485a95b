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
    QString next = files.front();
    files.pop_front();
    return next;
}

}  // namespace qv::test
