// The program's one resource of type "HEXFILE": the scrambled firmware package "#170".

#include "image/package/package_resource.h"

extern "C" const std::uint8_t qv_package_begin[];
extern "C" const std::uint8_t qv_package_end[];

namespace qv {

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type,
                                                          std::string_view name) {
    if (type != kPackageResourceType || name != kPackageResourceName) {
        return std::nullopt;
    }
    return std::span<const std::uint8_t>(
        qv_package_begin, static_cast<std::size_t>(qv_package_end - qv_package_begin));
}

std::span<const std::uint8_t> CarriedPackage() {
    return FindResource(kPackageResourceType, kPackageResourceName)
        .value_or(std::span<const std::uint8_t>());
}

}  // namespace qv
