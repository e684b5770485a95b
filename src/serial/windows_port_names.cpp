#include "serial/windows_port_names.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "serial/port_table.h"

namespace qv {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// The four hexadecimal digits after a tag such as "VID_".
std::optional<std::uint16_t> HexAfter(const std::string& upperText, std::string_view tag) {
    constexpr std::size_t kDigits = 4;
    const std::size_t at = upperText.find(tag);
    if (at == std::string::npos || upperText.size() < at + tag.size() + kDigits) {
        return std::nullopt;
    }
    const char* first = upperText.data() + at + tag.size();
    std::uint16_t value = 0;
    const auto [ptr, error] = std::from_chars(first, first + kDigits, value, 16);
    if (error != std::errc{} || ptr != first + kDigits) {
        return std::nullopt;
    }
    return value;
}

// "USB\VID_0403&PID_6001\A600ABCD": the part after the last backslash, when the device is
// a USB device itself and the system did not make the part up.
std::string SerialFromInstanceId(std::string_view instanceId) {
    if (!StartsWithNoCase(instanceId, "USB\\")) {
        return {};
    }
    const std::size_t lastSlash = instanceId.rfind('\\');
    if (lastSlash == std::string_view::npos || lastSlash == 3) {
        return {};
    }
    const std::string_view serial = instanceId.substr(lastSlash + 1);
    if (serial.empty() || serial.find('&') != std::string_view::npos) {
        return {};
    }
    return std::string(serial);
}

}  // namespace

std::optional<int> ComPortNumber(std::string_view name) {
    while (!name.empty() && (name.back() == '\0' || name.back() == ' ')) {
        name.remove_suffix(1);
    }
    if (!StartsWithNoCase(name, "COM")) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(3);
    int number = 0;
    const auto [ptr, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || digits.front() == '0' || error != std::errc{} ||
        ptr != digits.data() + digits.size() || number < 1 || number > kMaxPortNumber) {
        return std::nullopt;
    }
    return number;
}

UsbIdentity ParseUsbIdentity(std::string_view hardwareId, std::string_view instanceId) {
    const std::string upper = Upper(hardwareId);
    UsbIdentity identity;
    identity.vendorId = HexAfter(upper, "VID_");
    identity.productId = HexAfter(upper, "PID_");
    if (!identity.vendorId || !identity.productId) {
        identity.vendorId.reset();
        identity.productId.reset();
    }
    identity.serialNumber = SerialFromInstanceId(instanceId);
    identity.ftdiDriver = StartsWithNoCase(instanceId, "FTDIBUS\\");
    return identity;
}

}  // namespace qv
