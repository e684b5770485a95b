#pragma once
// Version and model texts as the confirmation shows them.

#include <cstdint>
#include <span>
#include <string>

namespace qv {

// The bytes read as text up to the first NUL, at most 8 characters.
std::string VersionText(std::span<const std::uint8_t> bytes);

// The radio's version as the confirmation names it: "No Data" when its first byte is 0xFF.
std::string RadioVersionText(std::span<const std::uint8_t> radioVersion);

// The model code's name: its printable ASCII bytes up to the first other byte ("MQV9051V").
std::string ModelNameText(std::span<const std::uint8_t> modelCode);

// The version-change confirmation: three lines, the middle one "Ver. old -> Ver. new" (or
// "No Data -> Ver. new" when the radio holds no version).
std::string BuildVersionChangeText(std::span<const std::uint8_t> radioVersion,
                                   std::span<const std::uint8_t> versionLabel);

}  // namespace qv
