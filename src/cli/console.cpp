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

}  // namespace qv::cli
