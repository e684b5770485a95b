#pragma once
// File paths travel through the core as UTF-8 text (the window's file dialog, the command line,
// the records); the file system is asked with the path that text names, which on Windows is
// UTF-16: a narrow path handed to the C library there would be read in the ANSI code page, and
// "C:\Users\Jürgen\Firmware\radio.srec" would name another file or none.

#include <filesystem>
#include <string>
#include <string_view>

namespace qv {

// The path the UTF-8 text names; empty for text that is not UTF-8 (it names no file).
std::filesystem::path PathFromUtf8(std::string_view text);

// The path as UTF-8 text.
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace qv
