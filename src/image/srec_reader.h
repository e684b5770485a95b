#pragma once
// The S-record reader: turns Motorola S-record text into data records, kept as the
// hexadecimal text the file wrote.

#include <cstddef>
#include <cstdint>
#include <span>

#include "image/hex_record.h"
#include "image/load_failure.h"
#include "image/record_view.h"

namespace qv {

// Data records hold 128 bytes at most: a transfer block must be able to take a whole one.
inline constexpr int kMaxRecordDataBytes = 128;

// Reads records from text[cursor] on, advancing cursor, and appends every accepted data
// record (S1, S2, S3) to records in file order. Reading ends with success at the first
// count record (S5) or termination record (S7, S8, S9). Returns 0 on success, 1 when the
// text is refused; failure, when given, then names the reason and the line.
// Never reads beyond the end of text.
int ParseSRecords(std::span<const std::uint8_t> text, std::size_t& cursor, RecordList& records,
                  LoadFailure* failure = nullptr);

// The same, appending views into text instead of copies: what the loader uses.
int ParseSRecordViews(std::span<const std::uint8_t> text, std::size_t& cursor,
                      RecordViewList& records, LoadFailure* failure = nullptr);

// 1 + the number of line feeds before position: the line a reader stands on.
int LineAt(std::span<const std::uint8_t> text, std::size_t position);

}  // namespace qv
