#pragma once
// What qv-updater answers from its command line without a window: --version and --help need
// no display, so a script or a package check can ask them anywhere. Both windows take it.

#include <optional>
#include <string>
#include <vector>

namespace qv {

// The text to print and end with, or nothing when the window is to open. arguments: the
// command line without the program's name.
std::optional<std::string> AnswerWithoutWindow(const std::vector<std::string>& arguments);

}  // namespace qv
