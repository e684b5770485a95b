#pragma once
// A byte as the simulated radio received it: its value and the line it was sent on.

#include <chrono>
#include <cstdint>
#include <span>

namespace qv {

struct LineState {
    int baud = 0;
    int stopBits = 0;
    bool operator==(const LineState&) const = default;
};

struct TaggedByte {
    std::uint8_t value = 0;
    LineState line;
    // When the simulator read it: as close as it can tell to when the updater wrote it.
    std::chrono::steady_clock::time_point arrived{};
};

// The time a byte takes on the wire: start bit, eight data bits, one or two stop bits.
inline std::chrono::microseconds ByteTimeOnWire(const LineState& line) {
    const int bits = 9 + (line.stopBits == 1 ? 1 : 2);
    if (line.baud <= 0) {
        return std::chrono::microseconds(0);
    }
    return std::chrono::microseconds(bits * 1'000'000LL / line.baud);
}

// What the boot loader needs from its end of the wire.
class ReplyPort {
  public:
    virtual ~ReplyPort() = default;
    virtual void Send(std::span<const std::uint8_t> wire) = 0;
    // The updater's line as it is set now.
    virtual LineState UpdaterLine() = 0;
    // Closes the radio's end: the updater's reads and writes fail from here on.
    virtual void HangUp() = 0;
    // The job is over: the updater's next open must not find its port still exclusive.
    virtual void ReleaseExclusive() {}
};

}  // namespace qv
