// The pseudo-terminal under the simulated radio.

#include "sim/pty_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>

namespace qv {

namespace {

// A reply that cannot leave within this time has nobody to go to.
constexpr std::chrono::milliseconds kSendTimeout{500};

int BaudOf(speed_t speed) {
    switch (speed) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        case B230400:
            return 230400;
        default:
            return 0;
    }
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

PtyTransport::~PtyTransport() {
    Close();
}

bool PtyTransport::Open() {
    char name[256] = {};
    if (::openpty(&master_, &farEndHeld_, name, nullptr, nullptr) != 0) {
        return false;
    }
    farEndPath_ = name;
    // Raw from the start, so nothing is echoed before the updater sets its line.
    termios line{};
    ::tcgetattr(farEndHeld_, &line);
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD | CSTOPB;
    ::cfsetspeed(&line, B9600);
    ::tcsetattr(farEndHeld_, TCSANOW, &line);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(farEndHeld_, F_SETFD, FD_CLOEXEC);
    // Opens and closes of the far end tell when an updater comes and goes.
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ < 0 ||
        ::inotify_add_watch(watch_, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        Close();
        return false;
    }
    return true;
}

void PtyTransport::Close() {
    CloseFd(watch_);
    CloseFd(farEndHeld_);
    CloseFd(master_);
}

void PtyTransport::ReadArrived(std::vector<TaggedByte>& out) {
    if (master_ < 0) {
        return;
    }
    const LineState line = UpdaterLine();
    std::array<std::uint8_t, 1024> buffer{};
    for (;;) {
        const ssize_t count = ::read(master_, buffer.data(), buffer.size());
        if (count <= 0) {
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            out.push_back(TaggedByte{buffer[i], line});
        }
    }
}

bool PtyTransport::TakeUpdaterClosed() {
    if (watch_ < 0) {
        return false;
    }
    bool closed = false;
    alignas(inotify_event) std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = ::read(watch_, buffer.data(), buffer.size());
        if (count <= 0) {
            return closed;
        }
        for (ssize_t at = 0; at < count;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            if ((event->mask & IN_OPEN) != 0) {
                ++openers_;
            }
            if ((event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) != 0 && openers_ > 0 &&
                --openers_ == 0) {
                closed = true;
                ReleaseExclusive();
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void PtyTransport::Send(std::span<const std::uint8_t> wire) {
    const auto deadline = std::chrono::steady_clock::now() + kSendTimeout;
    std::size_t sent = 0;
    while (master_ >= 0 && sent < wire.size()) {
        const ssize_t count = ::write(master_, wire.data() + sent, wire.size() - sent);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return;
        }
        pollfd writable{master_, POLLOUT, 0};
        ::poll(&writable, 1, 10);
    }
}

LineState PtyTransport::UpdaterLine() {
    termios line{};
    if (master_ < 0 || ::tcgetattr(master_, &line) != 0) {
        return {};
    }
    return LineState{BaudOf(::cfgetospeed(&line)), (line.c_cflag & CSTOPB) != 0 ? 2 : 1};
}

void PtyTransport::ReleaseExclusive() {
    // The updater's exclusive mode outlives its close while the master is open, and would
    // refuse its next open to anyone but root.
    if (farEndHeld_ >= 0) {
        ::ioctl(farEndHeld_, TIOCNXCL);
    }
}

void PtyTransport::HangUp() {
    // With both of its ends gone the terminal hangs up: the updater's calls fail.
    Close();
}

}  // namespace qv
