#pragma once
// A record's data seen in place: in the package text while reading, or in a HexRecord.
// The reader and the block builder work on views, so the 2 MB package is never copied
// record by record.

#include <cstdint>
#include <vector>

#include "image/hex_record.h"

namespace qv {

struct RecordView {
    std::int32_t count = 0;
    std::uint32_t address = 0;
    const char* hex = nullptr;       // 2 * count characters
    const char* checksum = nullptr;  // the record's two checksum characters, if any
};

using RecordViewList = std::vector<RecordView>;

inline RecordView ViewOf(const HexRecord& record) {
    return RecordView{record.count, record.address, record.hexText.data(),
                      record.checksumText.data()};
}

}  // namespace qv
