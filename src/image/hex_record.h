#pragma once
// One S-record's data or one transfer block, kept as the hexadecimal text the file wrote.

#include <array>
#include <cstdint>
#include <vector>

namespace qv {

struct HexRecord {
    std::int32_t count = 0;           // data bytes
    std::uint32_t address = 0;        // address of the first data byte
    std::array<char, 512> hexText{};  // two characters a byte, high digit first
    std::array<char, 2> checksumText{};
};

using RecordList = std::vector<HexRecord>;

// Makes the record a cleared one: count 0, address 0, every character the value 0.
void ClearRecord(HexRecord& record);

namespace detail {
// Every character that is not a hexadecimal digit stays 0.
constexpr std::array<std::uint8_t, 256> MakeHexDigitTable() {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 10; ++c) {
        table['0' + c] = static_cast<std::uint8_t>(c);
    }
    for (int c = 0; c < 6; ++c) {
        table['A' + c] = static_cast<std::uint8_t>(10 + c);
        table['a' + c] = static_cast<std::uint8_t>(10 + c);
    }
    return table;
}
inline constexpr std::array<std::uint8_t, 256> kHexDigitTable = MakeHexDigitTable();
}  // namespace detail

// '0'..'9', 'A'..'F', 'a'..'f' give 0..15; any other character gives 0.
// Inline: the reader calls it for every character of a 2 MB package.
inline std::uint8_t HexDigitValue(char digit) {
    return detail::kHexDigitTable[static_cast<unsigned char>(digit)];
}

// Two hexadecimal characters, high digit first, to one byte.
inline std::uint8_t ByteValue(char high, char low) {
    return static_cast<std::uint8_t>(HexDigitValue(high) * 16 + HexDigitValue(low));
}

}  // namespace qv
