#include "image/hex_record.h"

#include <array>

namespace qv {

namespace {

// 0xFF marks a character that is not a hexadecimal digit; callers see it as 0.
constexpr std::array<std::uint8_t, 256> MakeDigitTable() {
    std::array<std::uint8_t, 256> table{};
    for (auto& entry : table) {
        entry = 0xFF;
    }
    for (int c = '0'; c <= '9'; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - '0');
    }
    for (int c = 'A'; c <= 'F'; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - 'A' + 10);
        table[static_cast<std::size_t>(c - 'A' + 'a')] = static_cast<std::uint8_t>(c - 'A' + 10);
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> kDigitTable = MakeDigitTable();

}  // namespace

void ClearRecord(HexRecord& record) {
    record.count = 0;
    record.address = 0;
    record.hexText.fill(0);
    record.checksumText.fill(0);
}

std::uint8_t HexDigitValue(char digit) {
    const std::uint8_t value = kDigitTable[static_cast<unsigned char>(digit)];
    return value == 0xFF ? 0 : value;
}

std::uint8_t ByteValue(char high, char low) {
    return static_cast<std::uint8_t>(HexDigitValue(high) * 16 + HexDigitValue(low));
}

}  // namespace qv
