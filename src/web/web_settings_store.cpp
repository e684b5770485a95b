#include "web/web_settings_store.h"

#include <emscripten.h>

#include <cstdlib>
#include <string>

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
// clang-format on

namespace qv::web {

std::optional<std::string> WebSettingsStore::Value(std::string_view key) const {
    char* value = qv_web_setting(std::string(key).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    std::string text = value;
    std::free(value);
    return text;
}

void WebSettingsStore::SetValue(std::string_view key, const std::string& value) {
    qv_web_set_setting(std::string(key).c_str(), value.c_str());
}

}  // namespace qv::web
