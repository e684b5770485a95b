#pragma once
// Constants of the boot loader's wire protocol. The simulator shares these and nothing else
// with the updater, so that a mistake in a frame builder shows up against it.

#include <array>
#include <cstdint>
#include <string_view>

namespace qv {

inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kSyn = 0x16;
inline constexpr std::uint8_t kNak = 0x15;  // what the radio answers to a checksum that differs

// The access code the boot loader answers during link-up.
inline constexpr std::array<std::uint8_t, 8> kProbeCommand = {'Q', 'M', 'T',  'R',
                                                              'Z', 'K', 0xA4, 0x2E};

// Baud-rate texts by index; the order is the radio's, not ascending.
inline constexpr std::array<std::string_view, 8> kSpeedTable = {"9600", "19200", "4800",  "2400",
                                                                "1200", "38400", "57600", "115200"};
inline constexpr int kLinkUpAttempts = 7;  // indices 0..6: 115200 is never probed

// Speed codes of the speed change command.
inline constexpr std::uint8_t kSpeedCode19200 = 1;
inline constexpr std::uint8_t kSpeedCode38400 = 2;
inline constexpr std::uint8_t kSpeedCode57600 = 3;
inline constexpr std::uint8_t kSpeedCode115200 = 4;

// Command bytes.
inline constexpr std::uint8_t kCmdIdentify = 0x02;
inline constexpr std::uint8_t kCmdHighSpeed = 0x0B;
inline constexpr std::uint8_t kCmdSpeedChange = 0x0F;
inline constexpr std::uint8_t kCmdAuxVersion = 0x40;
inline constexpr std::uint8_t kCmdEnd = 0x45;  // 'E'
inline constexpr std::uint8_t kCmdVersion = 0x50;
inline constexpr std::uint8_t kCmdArea = 0x52;               // 'R' and two decimal digits
inline constexpr std::uint8_t kCmdStreamedBlock = 0x57;      // 'W'
inline constexpr std::uint8_t kCmdAcknowledgedBlock = 0x58;  // 'X'
inline constexpr std::uint8_t kCmd5B = 0x5B;                 // '['
inline constexpr std::uint8_t kCmdChecksum = 0xF3;

inline constexpr std::size_t kIdentificationSize = 48;
inline constexpr std::size_t kVersionReplySize = 16;
// The areas in the order the job names them; the first one erases region 1.
inline constexpr std::array<int, 7> kAreaOrder = {10, 4, 5, 6, 7, 8, 9};

// The range of region 1 that the checksum frame sums.
inline constexpr std::uint32_t kChecksumFirst = 0x08010000;
inline constexpr std::uint32_t kChecksumLast = 0x080DFFEF;

// Bytes 0..15 of the identification block of the expected model.
inline constexpr std::array<std::uint8_t, 16> kExpectedModelCode = {
    'M', 'Q', 'V', '9', '0', '5', '1', 'V', 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

}  // namespace qv
