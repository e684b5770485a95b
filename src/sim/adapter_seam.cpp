#include "sim/adapter_seam.h"

#include <linux/serial.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdlib>
#include <fstream>

namespace qv {

LowLatencyProbe ShimLowLatencyProbe() {
    const char* dir = std::getenv("QV_SHIM_SERIAL_DIR");
    if (dir == nullptr || *dir == '\0') {
        return nullptr;
    }
    return [dir = std::string(dir)](const std::string& device) {
        struct stat status {};
        if (::stat(device.c_str(), &status) != 0) {
            return false;
        }
        // The shim's name for the terminal: its device number.
        const std::string file = dir + "/tty-" + std::to_string(major(status.st_rdev)) + "-" +
                                 std::to_string(minor(status.st_rdev));
        std::ifstream in(file);
        std::string text;
        in >> text;
        const unsigned long flags = std::strtoul(text.c_str(), nullptr, 16);
        return (flags & ASYNC_LOW_LATENCY) != 0;
    };
}

}  // namespace qv
