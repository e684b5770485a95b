#pragma once
// The serial flags the USB shim (usb_serial_shim.c) keeps for a terminal, as a driver keeps
// them: a test presets them before a job and reads what the job left.

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

namespace qv::test {

// The shim's file for the terminal at `device`: tty-MAJOR-MINOR under `dir`.
inline std::string ShimFlagsFile(const std::string& dir, const std::string& device) {
    struct stat status {};
    if (::stat(device.c_str(), &status) != 0) {
        return {};
    }
    return dir + "/tty-" + std::to_string(major(status.st_rdev)) + "-" +
           std::to_string(minor(status.st_rdev));
}

inline bool WriteShimFlags(const std::string& dir, const std::string& device, unsigned flags) {
    std::ofstream out(ShimFlagsFile(dir, device));
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x\n", flags);
    out << text;
    return static_cast<bool>(out);
}

inline std::optional<unsigned> ReadShimFlags(const std::string& dir, const std::string& device) {
    std::ifstream in(ShimFlagsFile(dir, device));
    std::string text;
    if (!(in >> text)) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(text, nullptr, 16));
}

}  // namespace qv::test
