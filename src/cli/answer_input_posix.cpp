// The prompt's answer on POSIX: the descriptor itself, byte by byte, so that a Ctrl+C is seen
// while the prompt waits and no byte after the line is taken from a later reader.

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "cli/answer_input.h"
#include "cli/interruption.h"

namespace qv::cli {

namespace {

// How often a waiting prompt looks for an interruption that came between two polls.
constexpr int kInterruptLookMs = 100;

}  // namespace

bool ReadAnswerLine(std::FILE* in, std::string& answer) {
    answer.clear();
    const int fd = fileno(in);
    for (;;) {
        if (InterruptRequested()) {
            return false;
        }
        pollfd readable{fd, POLLIN, 0};
        const int ready = ::poll(&readable, 1, kInterruptLookMs);
        if (ready < 0 && errno != EINTR) {
            return !answer.empty();
        }
        if (ready <= 0) {
            continue;
        }
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return !answer.empty();
        }
        if (c == '\n') {
            return true;
        }
        answer.push_back(c);
    }
}

}  // namespace qv::cli
