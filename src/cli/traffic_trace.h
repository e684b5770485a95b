#pragma once
// qv-flash --trace: every byte the link moves, on stderr, one line per read or write:
// milliseconds since the start, the port, the direction, the line speed, the bytes as the
// updater has them and as they went over the wire. Each open says what the port told of its
// adapter's latency.

#include <chrono>
#include <cstdio>
#include <string>

#include "serial/serial_link.h"

namespace qv::cli {

class TrafficTrace : public TrafficObserver {
  public:
    TrafficTrace(std::FILE* stream, std::string portLabel,
                 std::chrono::steady_clock::time_point start)
        : stream_(stream), portLabel_(std::move(portLabel)), start_(start) {}

    void OnTraffic(Direction direction, std::span<const std::uint8_t> data,
                   std::span<const std::uint8_t> wire, std::string_view lineSettings) override;
    // "open /dev/ttyUSB0: low latency on, latency timer 1 ms"
    void OnOpened(std::string_view device, const AdapterLatency& latency) override;

  private:
    // "[    12.345 ms] " and the port's label.
    std::string LineStart() const;

    std::FILE* stream_;
    std::string portLabel_;
    std::chrono::steady_clock::time_point start_;
};

// "06 4D 51": the bytes in hexadecimal, separated by blanks.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace qv::cli
