#include "image/transfer_blocks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace qv {

namespace {

std::int64_t EndOf(const HexRecord& block) {
    return static_cast<std::int64_t>(block.address) + block.count;
}

void AppendFill(HexRecord& block, std::int64_t bytes) {
    char* out = block.hexText.data() + 2 * block.count;
    for (std::int64_t i = 0; i < bytes; ++i) {
        *out++ = 'F';
        *out++ = 'F';
    }
    block.count += static_cast<std::int32_t>(bytes);
}

// Moves the first bytes of the record to the end of the block.
void TakeFront(PendingRecord& record, HexRecord& block, std::int32_t bytes) {
    if (bytes <= 0) {
        return;
    }
    std::memcpy(block.hexText.data() + 2 * block.count, record.hex,
                2 * static_cast<std::size_t>(bytes));
    block.count += bytes;
    record.hex += 2 * bytes;
    record.count -= bytes;
    record.address += static_cast<std::uint32_t>(bytes);
}

// Completes a block that ends where the record begins to a multiple of 4 bytes: with the
// record's first bytes, then with the next record's when it follows on, else with fill.
// Bytes taken move out of their record, so each byte reaches exactly one block.
void AlignWithFollowing(PendingRecord& record, PendingRecord& next, HexRecord& block) {
    std::int32_t need = 4 - block.count % 4;
    if (record.count >= need) {
        TakeFront(record, block, need);
        return;
    }
    need -= record.count;
    TakeFront(record, block, record.count);
    record = PendingRecord{};  // a cleared record starts an empty block
    const std::int64_t gapToNext = static_cast<std::int64_t>(next.address) - EndOf(block);
    if (next.count > 0 && gapToNext >= 0 && gapToNext < need) {
        AppendFill(block, gapToNext);
        need -= static_cast<std::int32_t>(gapToNext);
        const std::int32_t taken = std::min(need, next.count);
        TakeFront(next, block, taken);
        need -= taken;
        if (next.count == 0) {
            next = PendingRecord{};
        }
    }
    AppendFill(block, need);
}

std::string Hex32(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

struct BuildState {
    RecordList& destination;
    int fullSize;
    int capacity;
    HexRecord block{};
    std::uint32_t lastEnd = 0;
};

bool Continues(const HexRecord& block, const PendingRecord& record, int fullSize) {
    return block.count < fullSize && EndOf(block) == record.address &&
           block.count + record.count <= fullSize;
}

// One turn of the builder for the record: start, extend, or close and restart the block.
int Place(PendingRecord& record, PendingRecord& next, BuildState& state, LoadFailure& failure) {
    HexRecord& block = state.block;
    if (block.count != 0) {
        if (Continues(block, record, state.fullSize)) {
            AppendRecord(record, block);
            return 0;
        }
        const std::uint32_t blockAddress = block.address;
        if (CloseBlock(record, next, block, state.destination, state.capacity) != 0) {
            NoteFailure(&failure, "a record at " + Hex32(record.address) +
                                      " starts before the block at " + Hex32(blockAddress) +
                                      " (records out of ascending order)");
            return 1;
        }
        state.lastEnd = static_cast<std::uint32_t>(EndOf(block));
        ClearRecord(block);
    }
    if (StartBlock(record, block, state.lastEnd, state.fullSize) != 0) {
        NoteFailure(&failure, "a record at " + Hex32(record.address) +
                                  " starts inside an earlier block (records out of ascending "
                                  "order)");
        return 3;
    }
    return 0;
}

}  // namespace

bool IsValidBlockSize(int size) {
    return size >= 4 && size % 4 == 0 && size <= static_cast<int>(HexRecord{}.hexText.size() / 2);
}

int StartBlock(PendingRecord& record, HexRecord& block, std::uint32_t lastEnd, int fullSize) {
    block.count = 0;
    if (record.checksum != nullptr) {
        block.checksumText = {record.checksum[0], record.checksum[1]};
    }
    if (record.address % 2 != 0) {
        // The boot loader takes blocks at even addresses: one fill byte goes in front.
        if (lastEnd != 0 && record.address - 1 < lastEnd) {
            return 3;
        }
        block.address = record.address - 1;
        AppendFill(block, 1);
    } else {
        if (record.count > 0 && record.address < lastEnd) {
            return 3;
        }
        block.address = record.address;
    }
    // A record that does not fit whole (128 bytes behind a fill byte) leaves the rest for
    // the next block instead of losing it.
    TakeFront(record, block, std::min(record.count, fullSize - block.count));
    return 0;
}

void AppendRecord(PendingRecord& record, HexRecord& block) {
    TakeFront(record, block, record.count);
}

int CloseBlock(PendingRecord& record, PendingRecord& next, HexRecord& block,
               RecordList& destination, int capacity) {
    if (block.address % 2 != 0) {
        return 1;
    }
    std::int64_t gap = static_cast<std::int64_t>(record.address) - EndOf(block);
    if (gap < 0) {
        // The record overlaps the block's end: its bytes win at those addresses.
        if (record.address <= block.address) {
            return 1;
        }
        block.count = static_cast<std::int32_t>(record.address - block.address);
        gap = 0;
    }
    const std::int32_t room = capacity - block.count;
    if (room > 0) {
        const std::int32_t align = 4 - block.count % 4;
        AppendFill(block, gap >= room ? std::min(align, room) : gap);
    }
    if (block.count % 4 != 0) {
        AlignWithFollowing(record, next, block);
    }
    destination.push_back(block);
    return 0;
}

int FinishBlock(HexRecord& block, RecordList& destination, int capacity) {
    if (block.address % 2 != 0) {
        return 1;
    }
    const std::int32_t room = capacity - block.count;
    const std::int32_t rest = block.count % 4;
    if (room != 0 && rest != 0) {
        // The fill of a short last block must stay inside the boot loader's flash map, and
        // no region of this radio lies there: such a region cannot be written.
        const std::int32_t need = 4 - rest;
        const std::int64_t filledEnd = EndOf(block) + need;
        std::int64_t limit = 0xFFFFF;
        if (block.address < 0x13FFF) {
            limit = 0x13FFF;
        } else if (block.address > 0x13FFF && block.address < 0xEFFFF) {
            limit = 0xEFFFF;
        }
        if (filledEnd >= limit) {
            return 1;
        }
        AppendFill(block, need);
    }
    destination.push_back(block);
    return 0;
}

int BuildTransferBlocks(const RecordList& source, RecordList& destination, int fullSize,
                        int capacity, LoadFailure* failure) {
    RecordViewList views;
    views.reserve(source.size());
    for (const HexRecord& record : source) {
        views.push_back(ViewOf(record));
    }
    return BuildTransferBlocks(views, destination, fullSize, capacity, failure);
}

int BuildTransferBlocks(const RecordViewList& source, RecordList& destination, int fullSize,
                        int capacity, LoadFailure* failure) {
    LoadFailure local;
    if (!IsValidBlockSize(fullSize) || !IsValidBlockSize(capacity) || fullSize > capacity) {
        NoteFailure(failure, "block size " + std::to_string(capacity) + " is not supported");
        return 1;
    }
    BuildState state{destination, fullSize, capacity};
    PendingRecord current = source.empty() ? PendingRecord{} : source.front();
    for (std::size_t i = 0; i < source.size(); ++i) {
        PendingRecord next = i + 1 < source.size() ? source[i + 1] : PendingRecord{};
        int result = Place(current, next, state, local);
        while (result == 0 && current.count > 0) {
            result = Place(current, next, state, local);
        }
        if (result != 0) {
            NoteFailure(failure, local.reason);
            return 1;
        }
        current = next;
    }
    if (state.block.count != 0 && FinishBlock(state.block, destination, capacity) != 0) {
        NoteFailure(failure, "the last block at " + Hex32(state.block.address) + " holds " +
                                 std::to_string(state.block.count) + " bytes, not a multiple of 4");
        return 1;
    }
    return 0;
}

}  // namespace qv
