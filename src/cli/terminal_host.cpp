#include "cli/terminal_host.h"

#include <algorithm>
#include <cctype>

#include "cli/console.h"
#include "workflow/worker_thread.h"

namespace qv::cli {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool IsYes(std::string answer) {
    answer = Trimmed(answer);
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return answer == "y" || answer == "yes";
}

// One line from the stream; false at its end with nothing read.
bool ReadAnswer(std::FILE* in, std::string& answer) {
    answer.clear();
    int c = 0;
    while ((c = std::fgetc(in)) != EOF && c != '\n') {
        answer.push_back(static_cast<char>(c));
    }
    return c != EOF || !answer.empty();
}

}  // namespace

BoxAnswer Confirmation::Ask(const std::string& portLabel, const std::string& text) {
    std::lock_guard lock(mutex_);
    const std::string shown = Printable(text);
    const std::string heading = portLabel.empty() ? shown : portLabel + ":\n" + shown;
    if (assumeYes_) {
        PrintLine(out_, heading);
        return BoxAnswer::Ok;
    }
    {
        std::lock_guard consoleLock(ConsoleMutex());
        std::fprintf(out_, "%s\nContinue? [y/N] ", heading.c_str());
        std::fflush(out_);
    }
    std::string answer;
    const bool answered = ReadAnswer(in_, answer);
    if (!answered || !IsTerminal(in_)) {
        PrintLine(out_, "");  // no echo ended the prompt's line: a pipe, or no answer at all
    }
    return answered && IsYes(answer) ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

BoxAnswer TerminalHost::ShowMessage(const std::string& text, const std::string& /*caption*/,
                                    BoxButtons buttons, BoxIcon /*icon*/) {
    if (buttons == BoxButtons::OkCancel) {
        return confirmation_.Ask(portLabel_, text);
    }
    lastMessage_ = text;
    return BoxAnswer::Ok;
}

void TerminalHost::SetProgressRange(int low, int high) {
    progress_.SetRange(progressSlot_, low, high);
}

void TerminalHost::SetProgressPosition(int position) {
    progress_.SetPosition(progressSlot_, position);
}

void TerminalHost::ShowStatus(const std::string& text, StatusKind kind) {
    progress_.SetStatus(progressSlot_, text, kind);
}

int TerminalHost::RunWorker(const std::function<int()>& work) {
    return RunOnWorkerThread(work);
}

}  // namespace qv::cli
