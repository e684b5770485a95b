#pragma once
// The transfer-block builder: cuts one flash region's records into the blocks the boot
// loader takes: even start addresses, lengths a multiple of 4, holes and alignment filled
// with 0xFF.

#include <cstdint>

#include "image/hex_record.h"
#include "image/load_failure.h"
#include "image/record_view.h"

namespace qv {

// A record while the builder works on it: the bytes not yet placed in a block. Taking
// bytes from its front moves the address on, so nothing is placed twice.
using PendingRecord = RecordView;

// Block sizes the builder accepts: a multiple of 4 that a HexRecord can hold.
bool IsValidBlockSize(int size);

// Builds the blocks of source into destination. fullSize: the size at which a block is
// full; capacity: the size that fill decisions count against (region 1: both the block
// size; region 2: full size 128, capacity the block size). Returns 0, or 1 when the region
// cannot be cut soundly (blocks built so far stay in destination).
int BuildTransferBlocks(const RecordViewList& source, RecordList& destination, int fullSize,
                        int capacity, LoadFailure* failure = nullptr);
int BuildTransferBlocks(const RecordList& source, RecordList& destination, int fullSize,
                        int capacity, LoadFailure* failure = nullptr);

// The steps of the builder, exposed for the tests. Results as BuildTransferBlocks, with 3
// from StartBlock for a record that would start inside an earlier block.
int StartBlock(PendingRecord& record, HexRecord& block, std::uint32_t lastEnd, int fullSize);
int CloseBlock(PendingRecord& record, PendingRecord& next, HexRecord& block,
               RecordList& destination, int capacity);
void AppendRecord(PendingRecord& record, HexRecord& block);
int FinishBlock(HexRecord& block, RecordList& destination, int capacity);

}  // namespace qv
