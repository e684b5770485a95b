#pragma once
// The program's own resources: the carried firmware package is found here by type "HEXFILE"
// and name "#170". The library qv_package defines it with the scrambled package compiled in;
// tests may link a definition of their own.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qv {

inline constexpr std::string_view kPackageResourceType = "HEXFILE";
inline constexpr std::string_view kPackageResourceName = "#170";

// The bytes of the resource, or nothing when the program holds no such resource.
std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type,
                                                          std::string_view name);

}  // namespace qv
