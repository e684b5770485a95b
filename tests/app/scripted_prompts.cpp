#include "scripted_prompts.h"

namespace qv::test {

BoxAnswer ScriptedPrompts::ShowBox(QWidget* /*owner*/, const MessageBox& box) {
    return Answer(box);
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
