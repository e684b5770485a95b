#pragma once
// Just enough JSON for the job records and qv-flash's reports: one flat object a line, keys in
// the order added.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// A JSON string literal. UTF-8 text passes as it is; control characters are escaped, and a
// byte that is not part of well-formed UTF-8 (a radio's odd version byte) becomes the text
// \xNN, so that it can neither break the line nor be taken for another character.
std::string JsonString(std::string_view text);

class JsonObject {
  public:
    JsonObject& Add(std::string_view key, std::string_view value);
    JsonObject& Add(std::string_view key, const char* value);
    JsonObject& Add(std::string_view key, const std::string& value);
    JsonObject& Add(std::string_view key, std::int64_t value);
    JsonObject& Add(std::string_view key, bool value);
    // null when the value is missing.
    JsonObject& Add(std::string_view key, const std::optional<std::string>& value);
    // A value that is already JSON (an array or an object).
    JsonObject& AddRaw(std::string_view key, std::string_view json);
    std::string Text() const { return body_ + "}"; }

  private:
    void Key(std::string_view key);
    std::string body_ = "{";
};

}  // namespace qv
