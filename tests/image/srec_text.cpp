#include "srec_text.h"

#include <cstdio>

namespace qv::test {

namespace {

int AddressBytes(char type) {
    return type == '1' ? 2 : type == '2' ? 3 : 4;
}

void Put(std::string& line, std::uint8_t byte) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(byte));
    line += digits;
}

}  // namespace

std::string RecordLineWithChecksum(char type, std::uint32_t address,
                                   const std::vector<std::uint8_t>& data, std::uint8_t checksum) {
    const int addressBytes = AddressBytes(type);
    std::string line = std::string("S") + type;
    Put(line, static_cast<std::uint8_t>(addressBytes + data.size() + 1));
    for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8) {
        Put(line, static_cast<std::uint8_t>(address >> shift));
    }
    for (const std::uint8_t byte : data) {
        Put(line, byte);
    }
    Put(line, checksum);
    return line;
}

std::string RecordLine(char type, std::uint32_t address, const std::vector<std::uint8_t>& data) {
    const int addressBytes = AddressBytes(type);
    unsigned sum = static_cast<unsigned>(addressBytes + data.size() + 1);
    for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8) {
        sum += (address >> shift) & 0xFF;
    }
    for (const std::uint8_t byte : data) {
        sum += byte;
    }
    return RecordLineWithChecksum(type, address, data, static_cast<std::uint8_t>(~sum));
}

std::vector<std::uint8_t> Pattern(std::uint32_t address, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t a = address + static_cast<std::uint32_t>(i);
        bytes[i] = static_cast<std::uint8_t>((a * 7) ^ (a >> 8) ^ 0x5A);
    }
    return bytes;
}

std::string SRecordFile(const std::vector<DataRun>& runs, std::size_t recordBytes,
                        const std::string& lineEnd) {
    std::string text = kHeader + lineEnd;
    for (const DataRun& run : runs) {
        for (std::size_t at = 0; at < run.bytes.size(); at += recordBytes) {
            const std::size_t n = std::min(recordBytes, run.bytes.size() - at);
            const std::vector<std::uint8_t> chunk(run.bytes.begin() + static_cast<long>(at),
                                                  run.bytes.begin() + static_cast<long>(at + n));
            text += RecordLine('3', run.address + static_cast<std::uint32_t>(at), chunk) + lineEnd;
        }
    }
    return text + kEnd + lineEnd;
}

std::vector<std::uint8_t> DataOf(const HexRecord& record) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(record.count));
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        bytes[k] = ByteValue(record.hexText[2 * k], record.hexText[2 * k + 1]);
    }
    return bytes;
}

HexRecord MakeRecord(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    HexRecord record;
    record.address = address;
    record.count = static_cast<std::int32_t>(bytes.size());
    static const char* const kDigits = "0123456789ABCDEF";
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        record.hexText[2 * k] = kDigits[bytes[k] >> 4];
        record.hexText[2 * k + 1] = kDigits[bytes[k] & 0x0F];
    }
    return record;
}

}  // namespace qv::test
