#include "flash_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

namespace qv::test {

std::string ProcessResult::LastLine(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == '\n') {
        --end;
    }
    const std::size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1));
}

namespace {

void DrainInto(int fd, std::string& text, bool& open) {
    std::array<char, 4096> buffer{};
    const ssize_t n = read(fd, buffer.data(), buffer.size());
    if (n <= 0) {
        open = false;
        return;
    }
    text.append(buffer.data(), static_cast<std::size_t>(n));
}

[[noreturn]] void ExecQvFlash(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    std::string program = QV_FLASH_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (auto& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

}  // namespace

RunningQvFlash::RunningQvFlash(const std::vector<std::string>& arguments) {
    pid_ = fork();
    if (pid_ == 0) {
        const int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDIN_FILENO);
        dup2(nothing, STDOUT_FILENO);
        dup2(nothing, STDERR_FILENO);
        ExecQvFlash(arguments);
    }
}

RunningQvFlash::~RunningQvFlash() {
    Kill();
}

bool RunningQvFlash::Running() {
    return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

void RunningQvFlash::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

ProcessResult RunQvFlash(const std::vector<std::string>& arguments, const std::string& input,
                         const std::vector<std::string>& environment) {
    ProcessResult result;
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) {
        return result;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
            close(fd);
        }
        for (const std::string& entry : environment) {
            const std::size_t equals = entry.find('=');
            setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
        }
        ExecQvFlash(arguments);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    signal(SIGPIPE, SIG_IGN);
    if (!input.empty()) {
        [[maybe_unused]] const ssize_t written = write(in[1], input.data(), input.size());
    }
    close(in[1]);  // the answer, then the end of the input
    bool outOpen = true;
    bool errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[2] = {{outOpen ? out[0] : -1, POLLIN, 0}, {errOpen ? err[0] : -1, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            break;
        }
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP)) != 0) {
            DrainInto(out[0], result.out, outOpen);
        }
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP)) != 0) {
            DrainInto(err[0], result.err, errOpen);
        }
    }
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    return result;
}

}  // namespace qv::test
