#include "image/srec_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

namespace qv {

namespace {

bool IsBlank(std::uint8_t c) {
    return c == ' ' || c == '\n' || c == '\r';
}

bool IsHexDigit(unsigned c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// ByteValue of every pair of characters, and whether both are hexadecimal digits, indexed by
// the two characters as they lie in memory: one look-up a byte for the 2 MB the reader goes
// through at every start.
struct PairTable {
    std::array<std::uint8_t, 65536> value{};
    std::array<bool, 65536> hex{};
    PairTable() {
        for (unsigned first = 0; first < 256; ++first) {
            for (unsigned second = 0; second < 256; ++second) {
                value[first | (second << 8)] =
                    ByteValue(static_cast<char>(first), static_cast<char>(second));
                hex[first | (second << 8)] = IsHexDigit(first) && IsHexDigit(second);
            }
        }
    }
};

// The address bytes of an end record: S7 32 bits, S8 24 bits, S9 16 bits; S5 a 16-bit count.
int EndRecordAddressBytes(std::uint8_t type) {
    switch (type) {
        case '7':
            return 4;
        case '8':
            return 3;
        default:
            return 2;
    }
}

// A record whose length, digits and checksum were found right.
struct RecordFields {
    std::size_t start = 0;      // where its "S" stands
    int count = 0;              // its data bytes
    std::uint32_t address = 0;  // an S5's count of records
    std::size_t dataStart = 0;  // its first data character
    std::size_t dataEnd = 0;    // just past its last data character, where the checksum stands
};

const PairTable& Pairs() {
    static const PairTable table;
    return table;
}

std::string DescribeCharacter(std::uint8_t c) {
    char text[32];
    if (c >= 0x21 && c < 0x7F) {
        std::snprintf(text, sizeof text, "character '%c'", static_cast<char>(c));
    } else {
        std::snprintf(text, sizeof text, "byte 0x%02X", static_cast<unsigned>(c));
    }
    return text;
}

class RecordReader {
  public:
    RecordReader(std::span<const std::uint8_t> text, std::size_t cursor, LoadFailure* failure)
        : text_(text), pos_(std::min(cursor, text.size())), failure_(failure) {}

    std::size_t position() const { return pos_; }

    int Run(RecordViewList& records);

  private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    bool Have(std::size_t chars) const { return text_.size() - pos_ >= chars; }
    std::uint8_t Byte(std::size_t at) const {
        return pairs_.value[text_[at] | (static_cast<unsigned>(text_[at + 1]) << 8)];
    }
    // Whether the characters [from, from + chars) are all hexadecimal digits (chars even).
    bool AllHex(std::size_t from, std::size_t chars) const {
        for (std::size_t at = from; at < from + chars; at += 2) {
            if (!pairs_.hex[text_[at] | (static_cast<unsigned>(text_[at + 1]) << 8)]) {
                return false;
            }
        }
        return true;
    }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(text_[pos_])) {
            ++pos_;
        }
    }
    int Fail(std::string reason) {
        NoteFailure(failure_, std::move(reason), LineAt(text_, pos_));
        return 1;
    }
    void SkipHeader();
    // The record at the cursor, with addressBytes of address; an end record (endName "S9")
    // carries no data. Leaves the cursor at the record's start.
    int ReadFields(int addressBytes, std::string_view endName, RecordFields& fields);
    int ReadDataRecord(int addressBytes, RecordViewList& records);
    int ReadEndRecord(std::uint8_t type, std::size_t dataRecords);
    // A character that is not a digit among the chars from the cursor, in the record at start.
    int FailOnCharacters(std::size_t start, std::size_t chars);

    std::span<const std::uint8_t> text_;
    const PairTable& pairs_ = Pairs();
    std::size_t pos_;
    LoadFailure* failure_;
};

int RecordReader::Run(RecordViewList& records) {
    SkipBlanks();
    if (AtEnd()) {
        return Fail("the text holds no S-record");
    }
    bool headerSeen = false;
    const std::size_t firstRecord = records.size();
    for (;;) {
        SkipBlanks();
        if (AtEnd()) {
            return Fail("the text ends before an end record");
        }
        if (text_[pos_] != 'S') {
            return Fail("unexpected " + DescribeCharacter(text_[pos_]) +
                        " where a record should start");
        }
        if (!Have(2)) {
            return Fail("the text ends inside a record");
        }
        const std::uint8_t type = text_[pos_ + 1];
        switch (type) {
            case '0':
                if (headerSeen) {
                    return Fail("a second header record (S0)");
                }
                headerSeen = true;
                SkipHeader();
                break;
            case '1':
            case '2':
            case '3': {
                // The radio's packages always open with a header; data before it means the
                // text is not one of them.
                if (!headerSeen) {
                    return Fail("a data record before the header record (S0)");
                }
                const int addressBytes = type - '0' + 1;
                if (ReadDataRecord(addressBytes, records) != 0) {
                    return 1;
                }
                break;
            }
            case '5':  // the count record closes the data
                if (!headerSeen) {
                    return Fail("a count record (S5) before the header record (S0)");
                }
                return ReadEndRecord(type, records.size() - firstRecord);
            case '7':
            case '8':
            case '9':
                return ReadEndRecord(type, records.size() - firstRecord);
            default:
                return Fail("unknown record type S" + std::string(1, static_cast<char>(type)));
        }
    }
}

// The header's content is not examined: it ends where the next record starts.
void RecordReader::SkipHeader() {
    pos_ += 2;
    const void* next = std::memchr(text_.data() + pos_, 'S', text_.size() - pos_);
    pos_ = next == nullptr
               ? text_.size()
               : static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - text_.data());
}

int RecordReader::ReadFields(int addressBytes, std::string_view endName, RecordFields& fields) {
    const std::size_t start = pos_;
    pos_ += 2;
    if (!Have(2)) {
        pos_ = start;
        return Fail("the text ends inside a record");
    }
    if (!endName.empty() && !AllHex(pos_, 2)) {
        return FailOnCharacters(start, 2);
    }
    const int length = Byte(pos_);
    const int count = length - addressBytes - 1;
    if (!endName.empty() && count != 0) {
        pos_ = start;
        return Fail("an end record " + std::string(endName) + " of length " +
                    std::to_string(length) + " (" + std::to_string(addressBytes + 1) +
                    " expected)");
    }
    if (count < 0) {
        return Fail("a record shorter than its address");
    }
    const std::size_t dataChars = 2 * static_cast<std::size_t>(count);
    const std::size_t recordChars = 2 + 2 * static_cast<std::size_t>(addressBytes) + dataChars + 2;
    if (!Have(recordChars)) {
        pos_ = start;  // name the line where the cut record starts
        return Fail("the text ends inside a record");
    }
    // A character that is not a digit would read as 0 and could pass a checksum: corrupted
    // data would reach the radio.
    if (!AllHex(pos_, recordChars)) {
        return FailOnCharacters(start, recordChars);
    }
    unsigned sum = static_cast<unsigned>(length);
    std::size_t at = pos_ + 2;
    std::uint32_t address = 0;
    for (int i = 0; i < addressBytes; ++i, at += 2) {
        const std::uint8_t byte = Byte(at);
        sum += byte;
        address = (address << 8) | byte;
    }
    const std::size_t dataStart = at;
    for (std::size_t end = at + dataChars; at < end; at += 2) {
        sum += Byte(at);
    }
    pos_ = start;
    if (static_cast<std::uint8_t>(255 - (sum & 0xFF)) != Byte(at)) {
        return Fail("record checksum does not match");
    }
    fields = RecordFields{start, count, address, dataStart, at};
    return 0;
}

int RecordReader::ReadDataRecord(int addressBytes, RecordViewList& records) {
    RecordFields fields;
    if (ReadFields(addressBytes, {}, fields) != 0) {
        return 1;
    }
    if (fields.count > kMaxRecordDataBytes) {
        return Fail("a record of " + std::to_string(fields.count) + " data bytes (128 at most)");
    }
    const char* chars = reinterpret_cast<const char*>(text_.data());
    records.push_back(
        RecordView{fields.count, fields.address, chars + fields.dataStart, chars + fields.dataEnd});
    pos_ = fields.dataEnd + 2;
    return 0;
}

int RecordReader::FailOnCharacters(std::size_t start, std::size_t chars) {
    const std::size_t from = pos_;
    pos_ = start;  // name the line where the record starts
    for (std::size_t at = from; at < from + chars; ++at) {
        if (text_[at] == '\n' || text_[at] == '\r') {
            return Fail("a record cut short by a line end");
        }
    }
    return Fail("a character that is not a hexadecimal digit inside a record");
}

// End records are checked like data records: their length, their digits and their checksum.
// A count record must count the data records before it.
int RecordReader::ReadEndRecord(std::uint8_t type, std::size_t dataRecords) {
    const std::string name = "S" + std::string(1, static_cast<char>(type));
    RecordFields fields;
    if (ReadFields(EndRecordAddressBytes(type), name, fields) != 0) {
        return 1;
    }
    if (type == '5' && fields.address != (dataRecords & 0xFFFF)) {
        return Fail("a count record (S5) of " + std::to_string(fields.address) + " records after " +
                    std::to_string(dataRecords) + " data records");
    }
    pos_ = fields.dataEnd + 2;
    return 0;
}

}  // namespace

int LineAt(std::span<const std::uint8_t> text, std::size_t position) {
    const auto end = text.begin() + static_cast<std::ptrdiff_t>(std::min(position, text.size()));
    return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

int ParseSRecordViews(std::span<const std::uint8_t> text, std::size_t& cursor,
                      RecordViewList& records, LoadFailure* failure) {
    RecordReader reader(text, cursor, failure);
    const int result = reader.Run(records);
    cursor = reader.position();
    return result;
}

int ParseSRecords(std::span<const std::uint8_t> text, std::size_t& cursor, RecordList& records,
                  LoadFailure* failure) {
    RecordViewList views;
    const int result = ParseSRecordViews(text, cursor, views, failure);
    for (const RecordView& view : views) {
        HexRecord& record = records.emplace_back();
        record.count = view.count;
        record.address = view.address;
        std::memcpy(record.hexText.data(), view.hex, 2 * static_cast<std::size_t>(view.count));
        std::memcpy(record.checksumText.data(), view.checksum, 2);
    }
    return result;
}

}  // namespace qv
