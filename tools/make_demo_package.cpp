// Writes the demo firmware package: plain S-record text that the updater carries when the
// build is given no real package. Only the simulator takes it.
//
//   qv-make-demo-package OUTPUT
//
// Region 1 (0x08010000..0x080DFFFF) holds deterministic data in 32-byte S3 records, with the
// model identity at 0x080DFF00 and the version label at 0x080DFF30; region 2 holds a
// 16-character label at 0x0800BF30. S0 header first, S7 end last, CR LF line ends.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kRegion1First = 0x08010000;
constexpr std::uint32_t kRegion1End = 0x080E0000;
constexpr std::uint32_t kIdentityArea = 0x080DFF00;
constexpr std::uint32_t kRegion2First = 0x0800BF00;  // the label area and what follows it
constexpr std::uint32_t kRegion2End = 0x0800C000;
constexpr std::uint32_t kLabelArea = 0x0800BF00;
constexpr int kRecordBytes = 32;

constexpr const char* kIdentity = "QV-9051/9052V2 MERIDANTEX LMR BI";
constexpr const char* kVersion = "DEMO-1.0";
constexpr const char* kRegion2Label = "QV-DEMO REGION 2";
constexpr const char* kHeaderText = "qv-updater demo package";

// Stand-in firmware: a fixed pseudo-random pattern, the same on every build.
std::uint8_t DemoByte(std::uint32_t address) {
    std::uint32_t x = address * 2654435761u;
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 12;
    return static_cast<std::uint8_t>(x);
}

void Place(std::vector<std::uint8_t>& memory, std::uint32_t base, std::uint32_t address,
           const char* text) {
    std::memcpy(memory.data() + (address - base), text, std::strlen(text));
}

std::vector<std::uint8_t> Fill(std::uint32_t first, std::uint32_t end) {
    std::vector<std::uint8_t> memory(end - first);
    for (std::uint32_t a = first; a < end; ++a) {
        memory[a - first] = DemoByte(a);
    }
    return memory;
}

void AppendByte(std::string& line, unsigned& sum, std::uint8_t byte) {
    static const char* const kDigits = "0123456789ABCDEF";
    line += kDigits[byte >> 4];
    line += kDigits[byte & 0x0F];
    sum += byte;
}

// One record: type digit, address bytes and data, with length and checksum.
std::string Record(char type, int addressBytes, std::uint32_t address, const std::uint8_t* data,
                   std::size_t count) {
    std::string line = std::string("S") + type;
    unsigned sum = 0;
    AppendByte(line, sum, static_cast<std::uint8_t>(addressBytes + count + 1));
    for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8) {
        AppendByte(line, sum, static_cast<std::uint8_t>(address >> shift));
    }
    for (std::size_t i = 0; i < count; ++i) {
        AppendByte(line, sum, data[i]);
    }
    unsigned ignored = 0;
    AppendByte(line, ignored, static_cast<std::uint8_t>(~sum));
    return line + "\r\n";
}

void AppendRegion(std::string& text, std::uint32_t first, const std::vector<std::uint8_t>& data) {
    for (std::size_t at = 0; at < data.size(); at += kRecordBytes) {
        text +=
            Record('3', 4, first + static_cast<std::uint32_t>(at), data.data() + at, kRecordBytes);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qv-make-demo-package OUTPUT\n");
        return 2;
    }
    std::vector<std::uint8_t> region1 = Fill(kRegion1First, kRegion1End);
    std::memset(region1.data() + (kIdentityArea - kRegion1First), 0, 64);
    Place(region1, kRegion1First, kIdentityArea, kIdentity);
    Place(region1, kRegion1First, kIdentityArea + 48, kVersion);
    std::vector<std::uint8_t> region2 = Fill(kRegion2First, kRegion2End);
    Place(region2, kRegion2First, kLabelArea + 48, kRegion2Label);

    std::string text = Record('0', 2, 0, reinterpret_cast<const std::uint8_t*>(kHeaderText),
                              std::strlen(kHeaderText));
    AppendRegion(text, kRegion2First, region2);
    AppendRegion(text, kRegion1First, region1);
    text += Record('7', 4, kRegion1First, nullptr, 0);

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
