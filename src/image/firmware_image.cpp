#include "image/firmware_image.h"

#include <algorithm>
#include <utility>

#include "image/descramble.h"
#include "image/image_layout.h"
#include "image/mot_file.h"
#include "image/srec_reader.h"
#include "image/transfer_blocks.h"

namespace qv {

namespace {

// The shortest data record with its line end: a guess that spares the list's regrowth.
constexpr std::size_t kTypicalRecordChars = 48;

void EmptyLists(RecordList& region1Blocks, RecordList& spareList, RecordList& region2Blocks) {
    region1Blocks.clear();
    spareList.clear();
    region2Blocks.clear();
}

// Blocks of a region without holes, plus a few for holes: spares the list's regrowth.
std::size_t EstimatedBlocks(const RecordViewList& records, int blockSize) {
    std::size_t bytes = 0;
    for (const RecordView& record : records) {
        bytes += static_cast<std::size_t>(record.count);
    }
    return blockSize > 0 ? bytes / static_cast<std::size_t>(blockSize) + 16 : 0;
}

// SelectRecords for the big region, done in place: keeps the records that start in
// first..last, in order, without a second list.
RecordViewList KeepRegion(RecordViewList records, std::uint32_t first, std::uint32_t last) {
    const auto outside = [&](const RecordView& r) { return r.address < first || r.address > last; };
    records.erase(std::remove_if(records.begin(), records.end(), outside), records.end());
    return records;
}

}  // namespace

void FirmwareImage::SetBlockSize(int size) {
    blockSize = size;
}

void FirmwareImage::SetCarriedPackage(std::span<const std::uint8_t> scrambled) {
    carriedPackage = scrambled;
}

void FirmwareImage::TakeText(std::vector<std::uint8_t> newText) {
    text = std::move(newText);
    textLength = static_cast<std::int32_t>(text.size());
    cursor = 0;
    // A carriage return ends this skip; the reader passes over it later.
    while (cursor < text.size() && (text[cursor] == ' ' || text[cursor] == '\n')) {
        ++cursor;
    }
}

int FirmwareImage::ReadSource(int useMotFile) {
    if (useMotFile != 0) {
        TakeText({});
        std::vector<std::uint8_t> fileText;
        if (ReadMotFile(motPath, fileText, &failure_) != 0) {
            return 1;
        }
        TakeText(std::move(fileText));
        return 0;
    }
    if (carriedPackage.empty()) {
        NoteFailure(&failure_, "the program carries no firmware package");
        return 1;
    }
    std::vector<std::uint8_t> packageText(carriedPackage.size());
    DescrambleCopy(carriedPackage, packageText);
    TakeText(std::move(packageText));
    return 0;
}

int FirmwareImage::Load(RecordList& region1Blocks, RecordList& spareList, RecordList& region2Blocks,
                        std::string path, int useMotFile) {
    failure_ = {};
    motPath = std::move(path);
    if (ReadSource(useMotFile) != 0) {
        return 1;
    }
    return BuildBlocks(region1Blocks, spareList, region2Blocks);
}

int FirmwareImage::LoadText(std::span<const std::uint8_t> plainText, RecordList& region1Blocks,
                            RecordList& spareList, RecordList& region2Blocks) {
    failure_ = {};
    TakeText(std::vector<std::uint8_t>(plainText.begin(), plainText.end()));
    return BuildBlocks(region1Blocks, spareList, region2Blocks);
}

int FirmwareImage::BuildBlocks(RecordList& region1Blocks, RecordList& spareList,
                               RecordList& region2Blocks) {
    EmptyLists(region1Blocks, spareList, region2Blocks);
    // The records stay in the text: views, not copies.
    RecordViewList allRecords;
    allRecords.reserve(text.size() / kTypicalRecordChars + 1);
    if (ParseSRecordViews(text, cursor, allRecords, &failure_) != 0) {
        return 1;
    }
    RecordViewList region2Records;
    SelectRecords(allRecords, region2Records, kRegion2First, kRegion2Last);
    RecordViewList region1Records = KeepRegion(std::move(allRecords), kRegion1First, kRegion1Last);

    LoadFailure blockFailure;
    region1Blocks.reserve(EstimatedBlocks(region1Records, blockSize));
    if (BuildTransferBlocks(region1Records, region1Blocks, blockSize, blockSize, &blockFailure) !=
        0) {
        NoteFailure(&failure_, "region 1: " + blockFailure.reason);
        return 1;
    }
    if (BuildTransferBlocks(region2Records, region2Blocks, kRegion2FullSize, blockSize,
                            &blockFailure) != 0) {
        NoteFailure(&failure_, "region 2: " + blockFailure.reason);
        return 1;
    }
    return 0;
}

void SelectRecords(const RecordList& source, RecordList& destination, std::uint32_t first,
                   std::uint32_t last) {
    for (const HexRecord& record : source) {
        if (record.address >= first && record.address <= last) {
            destination.push_back(record);
        }
    }
}

void SelectRecords(const RecordViewList& source, RecordViewList& destination, std::uint32_t first,
                   std::uint32_t last) {
    for (const RecordView& record : source) {
        if (record.address >= first && record.address <= last) {
            destination.push_back(record);
        }
    }
}

}  // namespace qv
