#pragma once
// One JSON value on one line, as the record files and qv-flash's --json outputs hold them.
// Objects keep their keys in the order they were added.

#include <nlohmann/json.hpp>
#include <string>

namespace qv {

using JsonValue = nlohmann::ordered_json;

// The value on one line, without its line end. Text that is not UTF-8 (a radio's odd version
// byte) cannot break the line: each byte that is no part of well-formed UTF-8 becomes U+FFFD.
std::string JsonLine(const JsonValue& value);

}  // namespace qv
