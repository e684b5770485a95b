#pragma once
// Reading the answer at the Continue? [y/N] prompt.

#include <cstdio>
#include <string>

namespace qv::cli {

// One line from the stream, without its line end. False at the end of the input with nothing
// read, and when an interruption (Ctrl+C) comes while it waits: both are no answer.
bool ReadAnswerLine(std::FILE* in, std::string& answer);

}  // namespace qv::cli
