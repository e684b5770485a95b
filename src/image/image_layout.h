#pragma once
// Where this radio keeps what the updater writes and checks.

#include <cstdint>

namespace qv {

// Region 1 is written to the radio; region 2 is only read for its label.
inline constexpr std::uint32_t kRegion1First = 0x08010000;
inline constexpr std::uint32_t kRegion1Last = 0x080DFFFF;
inline constexpr std::uint32_t kRegion2First = 0x08004000;
inline constexpr std::uint32_t kRegion2Last = 0x0800BFFF;

// Region 2's blocks are built at 128 bytes whatever the block size of region 1.
inline constexpr int kRegion2FullSize = 128;

inline constexpr std::uint32_t kIdentityAreaAddress = 0x080DFF00;
inline constexpr std::uint32_t kLabelAreaAddress = 0x0800BF00;
inline constexpr int kAreaBytes = 64;
inline constexpr const char* kModelIdentity = "QV-9051/9052V2 MERIDANTEX LMR BI";
inline constexpr int kModelIdentityLength = 32;
inline constexpr int kVersionLabelOffset = 48;  // 8 bytes in the identity area
inline constexpr int kRegion2LabelOffset = 48;  // 16 bytes in the label area

}  // namespace qv
