#include "protocol/frames.h"

#include <algorithm>
#include <numeric>

#include "protocol/protocol_constants.h"

namespace qv {
namespace {

std::array<std::uint8_t, 4> BigEndian(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

}  // namespace

std::size_t BuildBlockFrame(std::uint8_t lead, std::uint32_t address,
                            std::span<const std::uint8_t> data,
                            std::array<std::uint8_t, kMaxBlockFrame>& frame) {
    if (data.size() > kMaxBlockData) {
        return 0;
    }
    frame[0] = lead;
    const auto addressBytes = BigEndian(address);
    std::copy(addressBytes.begin(), addressBytes.end(), frame.begin() + 1);
    frame[5] = static_cast<std::uint8_t>(data.size());  // 256 data bytes carry 0x00
    std::copy(data.begin(), data.end(), frame.begin() + 6);
    frame[6 + data.size()] =
        static_cast<std::uint8_t>(std::accumulate(data.begin(), data.end(), 0u));
    return data.size() + kBlockFrameOverhead;
}

std::array<std::uint8_t, 3> BuildAreaCommand(int area) {
    const unsigned number = static_cast<unsigned>(area) % 100;
    return {kCmdArea, static_cast<std::uint8_t>('0' + number / 10),
            static_cast<std::uint8_t>('0' + number % 10)};
}

std::array<std::uint8_t, 2> BuildSpeedChangeCommand(std::uint8_t speedCode) {
    return {kCmdSpeedChange, speedCode};
}

ChecksumFrame BuildChecksumFrame(std::uint16_t sum) {
    return {kCmdChecksum,
            BigEndian(kChecksumFirst),
            BigEndian(kChecksumLast),
            {static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)}};
}

}  // namespace qv
