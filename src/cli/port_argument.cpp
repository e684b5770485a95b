#include "cli/port_argument.h"

#include <algorithm>
#include <cctype>

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

}  // namespace qv::cli
