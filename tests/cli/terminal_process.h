#pragma once
// Runs qv-flash on a pseudo-terminal of its own, as a technician's terminal would: the terminal
// is its controlling terminal and its standard streams, a typed Ctrl+C reaches it as SIGINT
// through the terminal's line discipline.

#include <chrono>
#include <string>
#include <vector>

namespace qv::test {

class QvFlashOnTerminal {
  public:
    explicit QvFlashOnTerminal(const std::vector<std::string>& arguments);
    ~QvFlashOnTerminal();
    QvFlashOnTerminal(const QvFlashOnTerminal&) = delete;
    QvFlashOnTerminal& operator=(const QvFlashOnTerminal&) = delete;

    bool Started() const { return pid_ > 0; }
    // Keys as typed: "\x03" is Ctrl+C.
    void Type(const std::string& keys);
    void Signal(int signal);
    // Reads what the program writes until text has appeared; false at the time-out.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    // The exit code (128 + the signal when a signal ended it); -1 at the time-out.
    int Wait(std::chrono::milliseconds timeout);
    // Everything written to the terminal so far, with its line ends as the terminal has them.
    const std::string& Output() const { return output_; }
    // The last non-empty line, without the terminal's redraws.
    std::string LastLine() const;

  private:
    void ReadAvailable(int waitMs);

    int pid_ = -1;
    int master_ = -1;
    int exitCode_ = -1;
    std::string output_;
};

}  // namespace qv::test
