#include "serial/usb_sysfs.h"

#include <charconv>
#include <filesystem>
#include <fstream>

namespace qv {
namespace {

namespace fs = std::filesystem;

// The tty's device is the USB interface or a port below it; the USB device, which holds the
// ids, is at most a few levels up.
constexpr int kLevelsToUsbDevice = 4;

std::string ReadLine(const fs::path& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::optional<std::uint16_t> ReadHexId(const fs::path& path) {
    const std::string text = ReadLine(path);
    std::uint16_t value = 0;
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ReadDecimal(const fs::path& path) {
    const std::string text = ReadLine(path);
    int value = 0;
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string UsbDescription(const std::string& maker, const std::string& product) {
    // Many adapters name their maker in the product string too ("QEMU" and "QEMU USB SERIAL").
    const bool makerInProduct = product.starts_with(maker) &&
                                (product.size() == maker.size() || product[maker.size()] == ' ');
    if (maker.empty() || product.empty() || makerInProduct) {
        return product.empty() ? maker : product;
    }
    return maker + " " + product;
}

void FillUsbDetails(PortInfo& info) {
    std::error_code error;
    const fs::path device = fs::canonical(info.device, error);
    if (error) {
        return;
    }
    fs::path node = fs::canonical(fs::path("/sys/class/tty") / device.filename() / "device", error);
    for (int level = 0; !error && level < kLevelsToUsbDevice && node.has_relative_path();
         ++level, node = node.parent_path()) {
        if (fs::exists(node / "idVendor", error)) {
            info.usbVendorId = ReadHexId(node / "idVendor");
            info.usbProductId = ReadHexId(node / "idProduct");
            info.serialNumber = ReadLine(node / "serial");
            info.description =
                UsbDescription(ReadLine(node / "manufacturer"), ReadLine(node / "product"));
            break;
        }
    }
    info.latencyTimer = UsbLatencyTimer(info.device);
}

std::optional<LatencyTimer> UsbLatencyTimer(const std::string& device, const fs::path& sysRoot) {
    // The chip's timer counts whole milliseconds in one byte.
    constexpr int kLongestTimerMs = 255;
    std::error_code error;
    const fs::path name = fs::weakly_canonical(device, error).filename();
    if (error || name.empty()) {
        return std::nullopt;
    }
    const fs::path file = sysRoot / "bus" / "usb-serial" / "devices" / name / "latency_timer";
    const std::optional<int> ms = ReadDecimal(file);
    if (!ms || *ms < 0 || *ms > kLongestTimerMs) {
        return std::nullopt;
    }
    return LatencyTimer{std::chrono::milliseconds(*ms), true, file.string()};
}

}  // namespace qv
