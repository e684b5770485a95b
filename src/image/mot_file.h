#pragma once
// Reading a Mot file whole, with the limits that keep a wrong choice of file harmless.

#include <cstdint>
#include <string>
#include <vector>

#include "image/load_failure.h"

namespace qv {

// A Mot file for this flash is a few MB; anything past this is not one and is refused
// before it is read into memory.
inline constexpr std::uintmax_t kMaxMotFileBytes = 64u * 1024u * 1024u;

// Reads the regular file at path (UTF-8) into text, raw bytes. 0 or 1 (with the reason).
int ReadMotFile(const std::string& path, std::vector<std::uint8_t>& text, LoadFailure* failure);

}  // namespace qv
