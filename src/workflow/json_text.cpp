#include "workflow/json_text.h"

#include <cstdio>

namespace qv {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none: no stray
// continuation byte, no overlong form, no surrogate, nothing above U+10FFFF.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;  // the bounds of the second byte, which rule out the bad forms
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (!IsContinuation(byte(k))) {
            return 0;
        }
    }
    return length;
}

void AppendEscaped(std::string& out, const char* format, unsigned char byte) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, format, byte);
    out += escaped;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendEscaped(out, "\\u%04x", byte);
        } else if (byte < 0x80) {
            out += c;
        } else if (const std::size_t length = Utf8SequenceAt(text, at); length > 0) {
            out.append(text.substr(at, length));
            at += length;
            continue;
        } else {
            // A byte that is no UTF-8 (a radio's odd version byte): shown as the text \xNN.
            AppendEscaped(out, "\\\\x%02X", byte);
        }
        ++at;
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
