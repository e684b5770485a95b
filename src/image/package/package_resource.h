#pragma once
// The program's own resources: the carried firmware package is found here by type "HEXFILE"
// and name "#170", with the scrambled package compiled in. The image layer does not look for
// it: the program hands the package to the loader.

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

// The scrambled package the program carries: resource "#170" of type "HEXFILE".
std::span<const std::uint8_t> CarriedPackage();

}  // namespace qv
