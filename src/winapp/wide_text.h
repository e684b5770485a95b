#pragma once
// The window talks to Windows in UTF-16 and to the core in UTF-8: texts and paths cross here.

#include <string>
#include <string_view>

namespace qv {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace qv
