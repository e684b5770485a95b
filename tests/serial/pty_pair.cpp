#include "pty_pair.h"

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <iterator>

#include "serial/termios_speed.h"

namespace qv::test {

PtyPair::PtyPair() {
    std::array<char, 256> name{};
    if (openpty(&master_, &slave_, name.data(), nullptr, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    slavePath_ = name.data();
}

PtyPair::~PtyPair() {
    if (master_ >= 0) {
        close(master_);
        close(slave_);
    }
}

termios PtyPair::FarEndSettings() const {
    termios tio{};
    tcgetattr(master_, &tio);
    return tio;
}

unsigned PtyPair::FarEndBaud() const {
    const termios tio = FarEndSettings();
    return BaudOf(cfgetospeed(&tio));
}

int PtyPair::FarEndStopBits() const {
    return (FarEndSettings().c_cflag & CSTOPB) != 0 ? 2 : 1;
}

void PtyPair::Write(std::span<const std::uint8_t> bytes) const {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            return;
        }
        written += static_cast<std::size_t>(n);
    }
}

std::vector<std::uint8_t> PtyPair::Read(std::size_t n, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd pfd{master_, POLLIN, 0};
        if (left.count() <= 0 || poll(&pfd, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        std::array<std::uint8_t, 4096> chunk{};
        const ssize_t got = read(master_, chunk.data(), std::min(chunk.size(), n - bytes.size()));
        if (got <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
    }
    return bytes;
}

unsigned BaudOf(speed_t speed) {
    for (unsigned baud : {1200u, 2400u, 4800u, 9600u, 19200u, 38400u, 57600u, 115200u, 230400u}) {
        if (TermiosSpeed(baud) == speed) {
            return baud;
        }
    }
    return 0;
}

int CountOpenDescriptors() {
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    // The iterator's own descriptor is among the entries; it is there in every count.
    return static_cast<int>(std::distance(entries, std::filesystem::directory_iterator{}));
}

}  // namespace qv::test
