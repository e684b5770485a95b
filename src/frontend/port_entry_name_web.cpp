#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include "frontend/port_list.h"

namespace qv {

namespace {

// The page's practice radio (src/web): a port of its own in the list.
constexpr std::string_view kPracticeDevice = "practice";

struct ChipName {
    std::uint16_t vendor;
    std::uint16_t product;
    std::string_view chip;
};

// The chips of radio cables and shop adapters, by their USB ids.
constexpr std::array<ChipName, 13> kChipNames = {{
    {0x0403, 0x6001, "FT232R"},
    {0x0403, 0x6010, "FT2232"},
    {0x0403, 0x6011, "FT4232"},
    {0x0403, 0x6014, "FT232H"},
    {0x0403, 0x6015, "FT-X"},
    {0x10C4, 0xEA60, "CP210x"},
    {0x10C4, 0xEA70, "CP2105"},
    {0x10C4, 0xEA71, "CP2108"},
    {0x1A86, 0x7523, "CH340"},
    {0x1A86, 0x5523, "CH341"},
    {0x1A86, 0x55D4, "CH9102"},
    {0x067B, 0x2303, "PL2303"},
    {0x067B, 0x23A3, "PL2303GC"},
}};

}  // namespace

// A browser tells no device path: the adapter is named from its USB ids, "FTDI FT232R (USB
// 0403:6001)", the maker alone for a chip not in the table, the ids alone for another vendor.
std::string PortEntryName(const PortInfo& port) {
    if (port.device == kPracticeDevice) {
        return "Practice radio (simulated)";
    }
    if (!port.usbVendorId || !port.usbProductId) {
        return "Serial port " + std::to_string(port.number);
    }
    const std::uint16_t vendor = *port.usbVendorId;
    const std::uint16_t product = *port.usbProductId;
    char ids[24];
    std::snprintf(ids, sizeof ids, "USB %04X:%04X", vendor, product);
    const std::string_view maker = UsbSerialChipMaker(vendor);
    if (maker.empty()) {
        return "Serial port (" + std::string(ids) + ")";
    }
    const auto chip = std::find_if(kChipNames.begin(), kChipNames.end(), [&](const auto& c) {
        return c.vendor == vendor && c.product == product;
    });
    const std::string name = chip != kChipNames.end() ? std::string(chip->chip) : "USB serial";
    return std::string(maker) + " " + name + " (" + ids + ")";
}

}  // namespace qv
