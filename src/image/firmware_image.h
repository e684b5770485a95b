#pragma once
// FirmwareImage: obtains the package text (the carried package or the user's Mot file),
// reads its records and cuts the two regions into transfer blocks. Lives for one load.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/hex_record.h"
#include "image/load_failure.h"
#include "image/record_view.h"

namespace qv {

class FirmwareImage {
  public:
    FirmwareImage() = default;
    FirmwareImage(const FirmwareImage&) = delete;
    FirmwareImage& operator=(const FirmwareImage&) = delete;
    virtual ~FirmwareImage() = default;

    // Region 1's block size, the "Max Buffer" setting: 128 or 256.
    void SetBlockSize(int size);
    // The scrambled package the program carries (its resource "#170"), read when no Mot file
    // is used; empty when the program carries none. It must outlive the loads.
    void SetCarriedPackage(std::span<const std::uint8_t> scrambled);

    // Reads the source (the Mot file at motPath when useMotFile is non-zero, else the carried
    // package) and fills the lists. 0 on success, 1 on failure; spareList is only emptied.
    int Load(RecordList& region1Blocks, RecordList& spareList, RecordList& region2Blocks,
             std::string motPath, int useMotFile);

    // As Load, on plain S-record text held in memory instead of a source.
    int LoadText(std::span<const std::uint8_t> plainText, RecordList& region1Blocks,
                 RecordList& spareList, RecordList& region2Blocks);

    // Fills text, textLength and cursor from the source. 0 or 1.
    int ReadSource(int useMotFile);

    // Reads the records from cursor and builds both regions' blocks. 0 or 1.
    int BuildBlocks(RecordList& region1Blocks, RecordList& spareList, RecordList& region2Blocks);

    // Why the last Load was refused, for the command line.
    const LoadFailure& failure() const { return failure_; }

    std::vector<std::uint8_t> text;  // the package text, exactly textLength bytes
    std::size_t cursor = 0;          // read position in text
    std::string motPath;
    std::int32_t textLength = 0;
    std::int32_t blockSize = 256;
    std::span<const std::uint8_t> carriedPackage;

  private:
    void TakeText(std::vector<std::uint8_t> newText);

    LoadFailure failure_;
};

// Lists the records of source whose first address lies in first..last, in source order.
void SelectRecords(const RecordList& source, RecordList& destination, std::uint32_t first,
                   std::uint32_t last);
void SelectRecords(const RecordViewList& source, RecordViewList& destination, std::uint32_t first,
                   std::uint32_t last);

}  // namespace qv
