#include "pty_round_trip.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <thread>
#include <vector>

namespace qv::bench {

namespace {

constexpr int kExchanges = 500;
constexpr std::size_t kFrameBytes = 263;  // the largest block frame

bool ReadExactly(int fd, std::uint8_t* buffer, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 1000) <= 0) {
            return false;
        }
        const ssize_t n = ::read(fd, buffer + got, count - got);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::chrono::duration<double> MeasurePtyRoundTrip() {
    int far = -1;
    int near = -1;
    if (::openpty(&far, &near, nullptr, nullptr, nullptr) != 0) {
        return {};
    }
    termios raw{};
    ::tcgetattr(near, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(near, TCSANOW, &raw);

    std::thread answerer([far] {
        std::array<std::uint8_t, kFrameBytes> frame{};
        const std::uint8_t ack = 0x06;
        for (int i = 0; i < kExchanges; ++i) {
            if (!ReadExactly(far, frame.data(), frame.size()) || ::write(far, &ack, 1) != 1) {
                return;
            }
        }
    });
    using Clock = std::chrono::steady_clock;
    std::vector<std::chrono::duration<double>> taken;
    std::array<std::uint8_t, kFrameBytes> frame{};
    for (int i = 0; i < kExchanges; ++i) {
        std::uint8_t ack = 0;
        const auto start = Clock::now();
        if (::write(near, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size()) ||
            !ReadExactly(near, &ack, 1)) {
            break;
        }
        taken.push_back(Clock::now() - start);
    }
    answerer.join();
    ::close(near);
    ::close(far);
    if (taken.empty()) {
        return {};
    }
    std::nth_element(taken.begin(), taken.begin() + static_cast<long>(taken.size() / 2),
                     taken.end());
    return taken[taken.size() / 2];
}

}  // namespace qv::bench
