// The parts of the port table that are the same on every OS.

#include <cctype>
#include <cstddef>

#include "serial/port_table.h"

namespace qv {

std::string WindowsDeviceName(int number) {
    // From COM10 on, Windows knows the ports only in the device namespace.
    constexpr int kFirstNamespacedPort = 10;
    const std::string base = "COM" + std::to_string(number);
    return number < kFirstNamespacedPort ? base : "\\\\.\\" + base;
}

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::string_view DigitRun(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return text.substr(from, end - from);
}

// Compares two runs of digits by value without converting them (they may be long).
int CompareNumbers(std::string_view a, std::string_view b) {
    while (a.size() > 1 && a.front() == '0') {
        a.remove_prefix(1);
    }
    while (b.size() > 1 && b.front() == '0') {
        b.remove_prefix(1);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const auto runA = DigitRun(a, i);
            const auto runB = DigitRun(b, j);
            if (const int order = CompareNumbers(runA, runB); order != 0) {
                return order < 0;
            }
            i += runA.size();
            j += runB.size();
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace qv
