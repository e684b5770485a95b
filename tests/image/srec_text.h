#pragma once
// Helpers that write S-record text for the tests, with correct lengths and checksums.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/hex_record.h"

namespace qv::test {

// One record line without its line end: "S" type, length, address, data, checksum.
std::string RecordLine(char type, std::uint32_t address, const std::vector<std::uint8_t>& data);

// The same with the checksum byte given (to write a wrong one).
std::string RecordLineWithChecksum(char type, std::uint32_t address,
                                   const std::vector<std::uint8_t>& data, std::uint8_t checksum);

// count bytes of a pattern that differs at every address.
std::vector<std::uint8_t> Pattern(std::uint32_t address, std::size_t count);

inline const std::string kHeader = "S00600004844521B";  // S0 with the text "HDR"
inline const std::string kEnd = "S70508010000F1";

// S0, one S3 record per line for each run of data, S7; lines end with line_end.
struct DataRun {
    std::uint32_t address;
    std::vector<std::uint8_t> bytes;
};
std::string SRecordFile(const std::vector<DataRun>& runs, std::size_t recordBytes = 32,
                        const std::string& lineEnd = "\n");

inline std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The data bytes of a record or block.
std::vector<std::uint8_t> DataOf(const HexRecord& record);

// A record with the given bytes, as the reader would have produced it.
HexRecord MakeRecord(std::uint32_t address, const std::vector<std::uint8_t>& bytes);

}  // namespace qv::test
