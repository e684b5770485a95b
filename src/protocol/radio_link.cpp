// RadioLink's session state: the seed drawn at link-up, the identification sum and the mask.

#include "protocol/radio_link.h"

#include <ctime>
#include <numeric>

namespace qv {
namespace {

// The radio mixes bytes 32 to 43 of its identification block into the session mask.
constexpr std::size_t kMaskBytesFirst = 32;
constexpr std::size_t kMaskBytesCount = 12;

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

std::uint8_t SumMaskBytes(std::span<const std::uint8_t, kIdentificationSize> block) {
    const auto bytes = block.subspan<kMaskBytesFirst, kMaskBytesCount>();
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

}  // namespace

RadioLink::RadioLink() {
    sessionMask = 0;
}

RadioLink::~RadioLink() = default;

std::uint8_t RadioLink::StartSession() {
    const std::tm local = LocalTimeNow();
    sessionSeed = static_cast<std::uint8_t>(local.tm_min + local.tm_sec);
    sessionMask = 0;
    if (unencryptedLink != 0) {
        sessionSeed = 0;
    }
    return sessionSeed;
}

std::uint8_t RadioLink::SumIdentification(
    std::span<const std::uint8_t, kIdentificationSize> block) {
    idSum = SumMaskBytes(block);
    return idSum;
}

// Both ends arrive at idSum XOR the session byte; unencrypted, that is 0.
std::uint8_t RadioLink::SetSessionMask(std::span<const std::uint8_t, kIdentificationSize> block) {
    sessionMask = unencryptedLink == 0
                      ? static_cast<std::uint8_t>(SumMaskBytes(block) ^ sessionSeed)
                      : sessionSeed;
    return sessionMask;
}

std::string RadioLink::LineTail() const {
    const std::string settings = GetLineSettings();
    const std::size_t comma = settings.find(',');
    return comma == std::string::npos ? std::string{} : settings.substr(comma);
}

}  // namespace qv
