// The scripted updater's port: raw termios on the far end of the simulator's terminal.

#include "scripted_updater.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace qv::test {

namespace {

speed_t SpeedOf(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        default:
            return B115200;
    }
}

}  // namespace

ScriptedUpdater::ScriptedUpdater(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCEXCL);  // as the updater holds its port
    }
}

ScriptedUpdater::~ScriptedUpdater() {
    Close();
}

void ScriptedUpdater::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool ScriptedUpdater::SetLine(int baud, int stopBits) {
    termios line{};
    if (::tcgetattr(fd_, &line) != 0) {
        return false;
    }
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_cflag &= ~CSTOPB;
    if (stopBits == 2) {
        line.c_cflag |= CSTOPB;
    }
    ::cfsetspeed(&line, SpeedOf(baud));
    return ::tcsetattr(fd_, TCSADRAIN, &line) == 0;
}

bool ScriptedUpdater::Write(const std::vector<std::uint8_t>& bytes, bool masked) {
    if (purge) {
        ::tcflush(fd_, TCIFLUSH);
    }
    std::vector<std::uint8_t> wire = bytes;
    for (std::uint8_t& byte : wire) {
        byte ^= masked ? mask : 0;
    }
    return ::write(fd_, wire.data(), wire.size()) == static_cast<ssize_t>(wire.size());
}

std::optional<std::vector<std::uint8_t>> ScriptedUpdater::Read(std::size_t count,
                                                               std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd readable{fd_, POLLIN, 0};
        if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        std::uint8_t byte = 0;
        const ssize_t got = ::read(fd_, &byte, 1);
        if (got == 1) {
            bytes.push_back(byte ^ mask);
        } else if (got == 0 || (got < 0 && errno != EAGAIN)) {
            return std::nullopt;  // the radio hung up
        }
    }
    return bytes;
}

bool ScriptedUpdater::ReadAck(std::chrono::milliseconds timeout) {
    std::optional<std::vector<std::uint8_t>> answer = Read(1, timeout);
    return answer && (*answer)[0] == 0x06;
}

bool ScriptedUpdater::AckExchange() {
    return Write({0x06}) && ReadAck(1000ms);
}

std::vector<std::uint8_t> ExpectedFlash(const std::vector<Block>& blocks) {
    std::vector<std::uint8_t> flash(0xD0000, 0xFF);
    for (const Block& block : blocks) {
        std::copy(block.data.begin(), block.data.end(),
                  flash.begin() + (block.address - 0x08010000));
    }
    return flash;
}

}  // namespace qv::test
