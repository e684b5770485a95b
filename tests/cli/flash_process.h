#pragma once
// Runs the qv-flash program as a user would: arguments, text on stdin, both outputs captured.

#include <chrono>
#include <string>
#include <vector>

namespace qv::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};

    // The last non-empty line of the text.
    static std::string LastLine(const std::string& text);
};

// environment: "NAME=value" entries added to the program's environment.
ProcessResult RunQvFlash(const std::vector<std::string>& arguments, const std::string& input = "",
                         const std::vector<std::string>& environment = {});

// A qv-flash that runs while the test looks on, its output thrown away; killed at the end if
// it still runs.
class RunningQvFlash {
  public:
    explicit RunningQvFlash(const std::vector<std::string>& arguments);
    ~RunningQvFlash();
    RunningQvFlash(const RunningQvFlash&) = delete;
    RunningQvFlash& operator=(const RunningQvFlash&) = delete;

    bool Running();
    void Kill();

  private:
    int pid_ = -1;
};

}  // namespace qv::test
