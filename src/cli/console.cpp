#include "cli/console.h"

#include <unistd.h>

namespace qv::cli {

std::mutex& ConsoleMutex() {
    static std::mutex mutex;
    return mutex;
}

void PrintLine(std::FILE* stream, const std::string& text) {
    std::lock_guard lock(ConsoleMutex());
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

std::string Printable(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n' || (byte >= 0x20 && byte <= 0x7E)) {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out;
}

}  // namespace qv::cli
