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

ProcessResult RunQvFlash(const std::vector<std::string>& arguments, const std::string& input = "");

}  // namespace qv::test
