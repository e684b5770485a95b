#include "terminal_process.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <thread>

namespace qv::test {

QvFlashOnTerminal::QvFlashOnTerminal(const std::vector<std::string>& arguments) {
    pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
        std::vector<std::string> copies = arguments;
        std::string program = QV_FLASH_PATH;
        std::vector<char*> argv = {program.data()};
        for (auto& argument : copies) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

QvFlashOnTerminal::~QvFlashOnTerminal() {
    if (pid_ > 0 && exitCode_ < 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) {
        close(master_);
    }
}

void QvFlashOnTerminal::Type(const std::string& keys) {
    [[maybe_unused]] const ssize_t written = write(master_, keys.data(), keys.size());
}

void QvFlashOnTerminal::Signal(int signal) {
    kill(pid_, signal);
}

void QvFlashOnTerminal::ReadAvailable(int waitMs) {
    pollfd readable{master_, POLLIN, 0};
    if (poll(&readable, 1, waitMs) <= 0) {
        return;
    }
    std::array<char, 4096> chunk{};
    const ssize_t n = read(master_, chunk.data(), chunk.size());
    if (n > 0) {
        output_.append(chunk.data(), static_cast<std::size_t>(n));
    }
}

bool QvFlashOnTerminal::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout,
                                      std::size_t from) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (output_.find(text, from) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        ReadAvailable(20);
    }
    return true;
}

int QvFlashOnTerminal::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (exitCode_ < 0 && std::chrono::steady_clock::now() < deadline) {
        ReadAvailable(20);
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
    }
    for (int i = 0; i < 5; ++i) {
        ReadAvailable(10);  // what it wrote last
    }
    return exitCode_;
}

namespace {

// The line without the terminal's control sequences (ESC [ ... letter): the redraws' codes.
std::string WithoutControlSequences(const std::string& line) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\x1b' && i + 1 < line.size() && line[i + 1] == '[') {
            i += 2;
            while (i < line.size() && !std::isalpha(static_cast<unsigned char>(line[i]))) {
                ++i;
            }
            continue;
        }
        text += line[i];
    }
    return text;
}

}  // namespace

std::string QvFlashOnTerminal::LastLine() const {
    std::string line;
    std::size_t end = output_.size();
    while (end > 0) {
        const std::size_t start = output_.find_last_of("\r\n", end - 1);
        const std::size_t from = start == std::string::npos ? 0 : start + 1;
        line = WithoutControlSequences(output_.substr(from, end - from));
        if (!line.empty()) {
            return line;
        }
        if (start == std::string::npos) {
            break;
        }
        end = start;
    }
    return line;
}

}  // namespace qv::test
