#include "workflow/json_text.h"

#include <cstdio>

namespace qv {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte > 0x7E) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void JsonObject::Key(std::string_view key) {
    if (body_.size() > 1) {
        body_ += ",";
    }
    body_ += JsonString(key) + ":";
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view value) {
    Key(key);
    body_ += JsonString(value);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const char* value) {
    return Add(key, std::string_view(value));
}

JsonObject& JsonObject::Add(std::string_view key, const std::string& value) {
    return Add(key, std::string_view(value));
}

JsonObject& JsonObject::Add(std::string_view key, std::int64_t value) {
    Key(key);
    body_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, const std::optional<std::string>& value) {
    if (!value) {
        return AddRaw(key, "null");
    }
    return Add(key, std::string_view(*value));
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json) {
    Key(key);
    body_ += json;
    return *this;
}

}  // namespace qv
