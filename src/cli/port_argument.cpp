#include "cli/port_argument.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "cli/radio_run.h"

#include "serial/port_table.h"

namespace qv::cli {

namespace {

bool IsDecimal(const std::string& text) {
    return !text.empty() && text.size() <= 4 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

}  // namespace

bool IsValidPortArgument(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    if (!std::all_of(text.begin(), text.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return true;
    }
    if (!IsDecimal(text)) {
        return false;
    }
    const int number = std::stoi(text);
    return number >= 1 && number <= kMaxPortNumber;
}

bool IsPortNumber(const std::string& text) {
    return IsDecimal(text);
}

std::string ResolvePort(const std::string& text) {
    return IsDecimal(text) ? DeviceNameForPort(std::stoi(text)) : text;
}

std::string NoSuchPortMessage(const std::string& text) {
    return "qv-flash: no port " + text + " in the port table; qv-flash ports lists them";
}

std::string WhyNeverAPort(const std::string& device) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(device, error);
    switch (status.type()) {
        case fs::file_type::directory:
            return device + " is a directory, not a serial port";
        case fs::file_type::regular:
        case fs::file_type::fifo:
        case fs::file_type::socket:
        case fs::file_type::block:
            return device + " is a file, not a serial port";
        case fs::file_type::character:
            break;
        default:
            return {};  // not there yet, or a name the system does not list (COM3)
    }
    SerialLink link;
    link.SetDevicePath(device);
    if (link.Open()) {
        link.Close();
        return {};
    }
    const OpenFailure failure = link.LastOpenFailure();
    return failure == OpenFailure::NotATerminal || failure == OpenFailure::ControllingTerminal
               ? DescribeOpenFailure(failure, device)
               : std::string();
}

}  // namespace qv::cli
