#include "serial/uart_type.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <charconv>
#include <fstream>
#include <string>

#if defined(__linux__)
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace qv {

namespace {

std::optional<int> ReportedUartType([[maybe_unused]] int fd) {
#if defined(__linux__)
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) == 0) {
        return info.type;
    }
#endif
    return std::nullopt;
}

}  // namespace

bool UartRuleAccepts(bool serialCorePort, std::optional<int> reportedType) {
#if defined(__linux__)
    constexpr int kNoUart = PORT_UNKNOWN;
#else
    constexpr int kNoUart = 0;
#endif
    return !serialCorePort || !reportedType || *reportedType != kNoUart;
}

bool IsSerialCorePort(dev_t device, const std::filesystem::path& sysRoot) {
    const std::string node = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::error_code error;
    return std::filesystem::exists(sysRoot / "dev" / "char" / node / "type", error);
}

bool SysfsShowsUart(const std::string& name, const std::filesystem::path& sysRoot) {
    std::ifstream file(sysRoot / "class" / "tty" / name / "type");
    if (!file) {
        return true;  // no serial-core port: USB-serial, CDC-ACM, or no sysfs at all
    }
    std::string text;
    std::getline(file, text);
    int type = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), type);
    const bool read = !text.empty() && error == std::errc{} && end == text.data() + text.size();
    return UartRuleAccepts(true, read ? std::optional<int>(type) : std::nullopt);
}

bool HasUartBehind(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        return false;
    }
    return UartRuleAccepts(S_ISCHR(status.st_mode) && IsSerialCorePort(status.st_rdev),
                           ReportedUartType(fd));
}

}  // namespace qv
