#include "web/browser_storage.h"

#include <emscripten.h>

#include <cstdlib>

// clang-format off
// The value in memory of malloc's, or null when none is stored.
EM_JS(char*, qv_web_setting, (const char* key), {
    const value = Module.qvSettings.get(UTF8ToString(key));
    if (value === undefined) {
        return 0;
    }
    const size = lengthBytesUTF8(value) + 1;
    const text = _malloc(size);
    stringToUTF8(value, text, size);
    return text;
});
EM_JS(void, qv_web_set_setting, (const char* key, const char* value), {
    Module.qvSettings.set(UTF8ToString(key), UTF8ToString(value));
});
// Empty when the line is stored, else the browser's reason, in memory of malloc's.
EM_ASYNC_JS(char*, qv_web_log_append, (const char* line), {
    const reason = await Module.qvServiceLog.append(UTF8ToString(line));
    const size = lengthBytesUTF8(reason) + 1;
    const text = _malloc(size);
    stringToUTF8(reason, text, size);
    return text;
});
// clang-format on

namespace qv::web {
namespace {

std::string TakeText(char* text) {
    std::string taken = text != nullptr ? text : "";
    std::free(text);
    return taken;
}

}  // namespace

std::optional<std::string> BrowserSettings::Value(std::string_view key) const {
    char* value = qv_web_setting(std::string(key).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return TakeText(value);
}

void BrowserSettings::SetValue(std::string_view key, const std::string& value) {
    qv_web_set_setting(std::string(key).c_str(), value.c_str());
}

bool BrowserServiceLog::Append(const std::string& line, std::string& failure) {
    failure = TakeText(qv_web_log_append(line.c_str()));
    return failure.empty();
}

}  // namespace qv::web
