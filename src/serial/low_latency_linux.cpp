#include <linux/serial.h>
#include <sys/ioctl.h>

#include "serial/low_latency.h"

namespace qv {

LowLatencyState TurnOnLowLatency(int fd) {
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) != 0) {
        return {};
    }
    if ((info.flags & ASYNC_LOW_LATENCY) != 0) {
        return {true, false};  // someone set it before: it stays when we close
    }
    info.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd, TIOCSSERIAL, &info) != 0) {
        return {};
    }
    // A driver may take the request and keep its old flags: only what it reports counts.
    serial_struct now{};
    const bool on = ioctl(fd, TIOCGSERIAL, &now) == 0 && (now.flags & ASYNC_LOW_LATENCY) != 0;
    return {on, true};
}

void TurnOffLowLatency(int fd) {
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) != 0) {
        return;
    }
    info.flags &= ~ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &info);
}

}  // namespace qv
