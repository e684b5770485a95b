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

// '0'..'9', 'A'..'F', 'a'..'f' give 0..15; any other character gives 0.
std::uint8_t HexDigitValue(char digit);

// Two hexadecimal characters, high digit first, to one byte.
std::uint8_t ByteValue(char high, char low);

}  // namespace qv
