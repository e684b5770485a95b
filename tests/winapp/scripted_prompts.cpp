#include "scripted_prompts.h"

namespace qv::test {

std::optional<std::string> ScriptedPrompts::ChooseFileToOpen(HWND /*owner*/,
                                                             std::wstring_view filter) {
    fileFilters.emplace_back(filter);
    if (files.empty()) {
        return std::nullopt;
    }
    std::string file = files.front();
    files.pop_front();
    if (file.empty()) {
        return std::nullopt;
    }
    return file;
}

}  // namespace qv::test
