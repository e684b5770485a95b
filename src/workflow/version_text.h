#pragma once
// Version and model texts as the confirmation shows them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qv {

// The bytes read as text up to the first NUL, at most 8 characters.
std::string VersionText(std::span<const std::uint8_t> bytes);

// Whether the radio's version reply holds a version: a radio without one answers 0xFF first.
bool RadioHoldsVersion(std::span<const std::uint8_t> radioVersion);

// The radio's version as the confirmation names it: "No Data" when it holds none.
std::string RadioVersionText(std::span<const std::uint8_t> radioVersion);

// The model code's name: its printable ASCII bytes up to the first other byte ("MQV9051V").
std::string ModelNameText(std::span<const std::uint8_t> modelCode);

// "Ver. old -> Ver. new", or "No Data -> Ver. new" when the radio holds no version.
std::string VersionChangeLine(const std::optional<std::string>& radioVersion,
                              const std::string& newVersion);

// The version-change confirmation: three lines, the change in the middle.
std::string VersionChangeText(const std::optional<std::string>& radioVersion,
                              const std::string& newVersion);

}  // namespace qv
