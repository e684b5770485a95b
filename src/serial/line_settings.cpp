#include "serial/line_settings.h"

#include <array>
#include <charconv>
#include <cstddef>

namespace qv {
namespace {

constexpr std::size_t kFieldCount = 4;

// Splits at commas; a text with another number of fields than four gives nothing.
std::optional<std::array<std::string_view, kFieldCount>> SplitFields(std::string_view text) {
    std::array<std::string_view, kFieldCount> fields;
    std::size_t index = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        if (index == kFieldCount) {
            return std::nullopt;
        }
        fields[index++] = text.substr(0, comma);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    if (index != kFieldCount) {
        return std::nullopt;
    }
    return fields;
}

std::optional<unsigned> ParseDecimal(std::string_view field) {
    unsigned value = 0;
    const char* end = field.data() + field.size();
    const auto [ptr, error] = std::from_chars(field.data(), end, value);
    if (field.empty() || error != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<char> ParseParity(std::string_view field) {
    if (field.size() != 1) {
        return std::nullopt;
    }
    switch (field[0]) {
        case 'N':
        case 'n':
            return 'N';
        case 'E':
        case 'e':
            return 'E';
        case 'O':
        case 'o':
            return 'O';
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<LineSettings> ParseLineSettings(std::string_view text) {
    const auto fields = SplitFields(text);
    if (!fields) {
        return std::nullopt;
    }
    const auto baud = ParseDecimal((*fields)[0]);
    const auto parity = ParseParity((*fields)[1]);
    const auto dataBits = ParseDecimal((*fields)[2]);
    const auto stopBits = ParseDecimal((*fields)[3]);
    if (!baud || *baud == 0 || !parity || !dataBits || *dataBits < 5 || *dataBits > 8 ||
        !stopBits || (*stopBits != 1 && *stopBits != 2)) {
        return std::nullopt;
    }
    return LineSettings{*baud, *parity, static_cast<int>(*dataBits), static_cast<int>(*stopBits)};
}

}  // namespace qv
