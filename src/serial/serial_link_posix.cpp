// SerialLink's OS part on POSIX: termios over a file descriptor.

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>

#include "serial/line_settings.h"
#include "serial/low_latency.h"
#include "serial/serial_link.h"
#include "serial/serial_timing.h"
#include "serial/spin_wait.h"
#include "serial/termios_speed.h"
#include "serial/uart_type.h"
#include "serial/usb_sysfs.h"

namespace qv {
namespace {

int Fd(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// A pseudo-terminal or a USB adapter without modem lines refuses the request; that is no
// fault of the link.
bool SetModemLine(int fd, unsigned long request, int line) {
    if (ioctl(fd, request, &line) == 0) {
        return true;
    }
    return errno == ENOTTY || errno == EINVAL;
}

OpenFailure FailureOfOpen(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return OpenFailure::Missing;
        case EACCES:
        case EPERM:
            return OpenFailure::PermissionDenied;
        case EBUSY:
            return OpenFailure::InUse;
        default:
            return OpenFailure::Other;
    }
}

// The terminal this program runs on: its controlling terminal, or the one its standard streams
// are on. Writing the radio's frames there would garble the technician's screen.
bool IsOwnTerminal(int fd) {
    if (tcgetpgrp(fd) != -1) {
        return true;
    }
    struct stat port {};
    if (fstat(fd, &port) != 0) {
        return false;
    }
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        struct stat own {};
        if (isatty(stream) && fstat(stream, &own) == 0 && own.st_rdev == port.st_rdev) {
            return true;
        }
    }
    return false;
}

// Only terminals, and only one holder: TIOCEXCL keeps other users out, the advisory lock
// also keeps out root, whom the kernel lets past TIOCEXCL. The descriptor stays non-blocking
// (a port without carrier cannot hang the open); every read and write waits in poll with a
// deadline of its own.
OpenFailure ClaimPort(int fd) {
    if (!isatty(fd)) {
        return OpenFailure::NotATerminal;
    }
    if (IsOwnTerminal(fd)) {
        return OpenFailure::ControllingTerminal;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        return OpenFailure::InUse;
    }
    return OpenFailure::None;
}

// poll takes an int of milliseconds; a longer time-out is waited for in several polls.
int PollMilliseconds(std::chrono::milliseconds left) {
    return static_cast<int>(
        std::min<std::chrono::milliseconds::rep>(left.count(), std::numeric_limits<int>::max()));
}

std::chrono::milliseconds MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    return std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                        std::chrono::steady_clock::now());
}

// Waits until the descriptor can take more bytes; false at the deadline or on a hang-up.
bool WaitWritable(int fd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = MillisecondsUntil(deadline);
        if (left.count() <= 0) {
            return false;
        }
        pollfd pfd{fd, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, PollMilliseconds(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
    }
}

void ApplyFrameFormat(const LineSettings& settings, termios& tio) {
    cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    static constexpr tcflag_t kDataBits[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kDataBits[settings.dataBits - 5];
    if (settings.stopBits == 2) {
        tio.c_cflag |= CSTOPB;
    }
    if (settings.parity != 'N') {
        tio.c_cflag |= PARENB;
    }
    if (settings.parity == 'O') {
        tio.c_cflag |= PARODD;
    }
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
}

// Reads run at real-time priority where the OS allows it, so that a busy machine does not
// let the radio's answer sit unread; a refusal only costs that advantage.
class RealtimeDuringRead {
  public:
    RealtimeDuringRead() {
        raised_ = pthread_getschedparam(pthread_self(), &oldPolicy_, &oldParam_) == 0;
        if (raised_) {
            sched_param param{};
            param.sched_priority = sched_get_priority_min(SCHED_FIFO);
            raised_ = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
        }
    }
    ~RealtimeDuringRead() {
        if (raised_) {
            pthread_setschedparam(pthread_self(), oldPolicy_, &oldParam_);
        }
    }
    RealtimeDuringRead(const RealtimeDuringRead&) = delete;
    RealtimeDuringRead& operator=(const RealtimeDuringRead&) = delete;

  private:
    bool raised_ = false;
    int oldPolicy_ = SCHED_OTHER;
    sched_param oldParam_{};
};

}  // namespace

struct SerialLink::PlatformState {
    std::optional<termios> lineBefore;  // put back when the port closes
    bool lowLatencyTurnedOn = false;    // turned off again when the port closes
};

void SerialLink::PlatformStateDeleter::operator()(PlatformState* state) const {
    delete state;
}

bool SerialLink::OpenDevice(const std::string& deviceName) {
    if (deviceName.empty()) {
        openFailure_ = OpenFailure::Missing;
        return false;
    }
    const int fd = ::open(deviceName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openFailure_ = FailureOfOpen(errno);
        return false;
    }
    openFailure_ = ClaimPort(fd);
    if (openFailure_ != OpenFailure::None) {
        ::close(fd);
        return false;
    }
    platform_.reset(new PlatformState);
    termios line{};
    if (tcgetattr(fd, &line) == 0) {
        platform_->lineBefore = line;
    }
    const LowLatencyState lowLatency = TurnOnLowLatency(fd);
    platform_->lowLatencyTurnedOn = lowLatency.turnedOn;
    adapterLatency_.lowLatencyOn = lowLatency.on;
    // ftdi_sio tells 1 ms here once the flag is on.
    adapterLatency_.timer = UsbLatencyTimer(deviceName);
    handle_ = fd;
    return true;
}

bool SerialLink::CloseDevice() {
    if (handle_ < 0) {
        return false;
    }
    const int fd = Fd(handle_);
    handle_ = -1;
    if (platform_) {
        if (platform_->lowLatencyTurnedOn) {
            TurnOffLowLatency(fd);
        }
        if (platform_->lineBefore) {
            tcsetattr(fd, TCSANOW, &*platform_->lineBefore);
        }
        platform_.reset();
    }
    // The exclusive mark outlives the descriptor while anyone else holds the terminal.
    ioctl(fd, TIOCNXCL);
    return ::close(fd) == 0;
}

// The kernel's queues have fixed sizes; nothing to give it.
bool SerialLink::SetupQueues() {
    return handle_ >= 0;
}

bool SerialLink::ApplyLineSettings() {
    const auto settings = ParseLineSettings(lineSettings_);
    if (!settings) {
        return false;
    }
    const auto speed = TermiosSpeed(settings->baud);
    termios tio{};
    if (!speed || tcgetattr(Fd(handle_), &tio) != 0) {
        return false;
    }
    ApplyFrameFormat(*settings, tio);
    if (cfsetispeed(&tio, *speed) != 0 || cfsetospeed(&tio, *speed) != 0) {
        return false;
    }
    // The caller has drained the line with a deadline; TCSADRAIN only keeps the order.
    if (tcsetattr(Fd(handle_), TCSADRAIN, &tio) != 0) {
        return false;
    }
    return SetModemLine(Fd(handle_), TIOCMBIS, TIOCM_DTR) && ClearRts();
}

// The time-outs are applied by each read from the stored values.
bool SerialLink::ApplyTimeouts() {
    return handle_ >= 0;
}

bool SerialLink::ClearRts() {
    return SetModemLine(Fd(handle_), TIOCMBIC, TIOCM_RTS);
}

bool SerialLink::PurgeReceive() {
    return tcflush(Fd(handle_), TCIFLUSH) == 0;
}

bool SerialLink::WriteRaw(std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
    if (handle_ < 0) {
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(Fd(handle_), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            if (!WaitWritable(Fd(handle_), deadline)) {
                return false;
            }
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The kernel's queue is watched with a deadline; once it is empty, tcdrain waits only for
// the UART's own FIFO and shift register, a few characters' time.
bool SerialLink::DrainOutput(Clock::time_point deadline) {
    if (handle_ < 0) {
        return false;
    }
    const QueueWait wait = WaitForEmptyQueue(
        [fd = Fd(handle_)]() -> std::optional<long long> {
            int queued = 0;
            if (ioctl(fd, TIOCOUTQ, &queued) != 0) {
                return std::nullopt;
            }
            return queued;
        },
        deadline);
    if (wait == QueueWait::Unknown) {
        return true;  // the driver cannot tell: the wire-time floor stands alone
    }
    if (wait == QueueWait::TimedOut) {
        return false;
    }
    while (tcdrain(Fd(handle_)) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool SerialLink::ReadRaw(std::span<std::uint8_t> buffer, std::size_t& received) {
    received = 0;
    if (handle_ < 0) {
        return false;
    }
    RealtimeDuringRead priority;
    const auto deadline =
        Clock::now() + readTimeout_ + readTimeoutMultiplier_ * static_cast<long>(buffer.size());
    while (received < buffer.size()) {
        const auto left = MillisecondsUntil(deadline);
        if (left.count() <= 0) {
            break;
        }
        pollfd pfd{Fd(handle_), POLLIN, 0};
        const int ready = ::poll(&pfd, 1, PollMilliseconds(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0 || (pfd.revents & (POLLERR | POLLNVAL)) != 0) {
            break;
        }
        const ssize_t n = ::read(Fd(handle_), buffer.data() + received, buffer.size() - received);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return false;  // hung up: the far end is gone
        }
        received += static_cast<std::size_t>(n);
    }
    return true;
}

bool SerialLink::QueryRs232() {
    if (handle_ < 0) {
        return false;
    }
    termios tio{};
    const bool settingsReadable = tcgetattr(Fd(handle_), &tio) == 0;
    SpinWait(kRs232QueryPause);
    const bool uartBehind = settingsReadable && HasUartBehind(Fd(handle_));
    SpinWait(kRs232QueryPause);
    return uartBehind;
}

}  // namespace qv
