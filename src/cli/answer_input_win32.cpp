// The prompt's answer on Windows: a Ctrl+C ends the console's read with no characters.

#include "cli/answer_input.h"
#include "cli/interruption.h"

namespace qv::cli {

bool ReadAnswerLine(std::FILE* in, std::string& answer) {
    answer.clear();
    int c = 0;
    while ((c = std::fgetc(in)) != EOF && c != '\n') {
        answer.push_back(static_cast<char>(c));
    }
    if (InterruptRequested()) {
        return false;
    }
    return c != EOF || !answer.empty();
}

}  // namespace qv::cli
