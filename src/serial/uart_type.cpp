#include "serial/uart_type.h"

#if defined(__linux__)
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace qv {

bool UartTypeKnown(int fd) {
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) == 0) {
        return info.type != PORT_UNKNOWN;
    }
    return errno == ENOTTY || errno == EINVAL;
}

}  // namespace qv

#else

namespace qv {

bool UartTypeKnown(int) {
    return true;
}

}  // namespace qv

#endif
