#include "cli/port_argument.h"

#include <algorithm>
#include <cctype>

#include "serial/port_table.h"

namespace qv::cli {

namespace {

bool IsNumber(const std::string& text) {
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
    if (!IsNumber(text)) {
        return false;
    }
    const int number = std::stoi(text);
    return number >= 1 && number <= kMaxPortNumber;
}

void SelectPort(SerialLink& link, const std::string& text) {
    if (IsNumber(text)) {
        link.SetPortNumber(std::stoi(text));
    } else {
        link.SetDevicePath(text);
    }
}

}  // namespace qv::cli
