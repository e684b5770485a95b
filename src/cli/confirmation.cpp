#include "cli/confirmation.h"

#include <algorithm>
#include <cctype>

#include "cli/answer_input.h"
#include "cli/console.h"
#include "protocol/protocol_constants.h"
#include "workflow/job_messages.h"
#include "workflow/version_text.h"

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

// The question without its last line, for a run that does not ask it: "--yes" is the answer.
std::string WithoutTheQuestion(const std::string& text) {
    const std::string question = std::string("\n") + kConfirmationLastText;
    if (text.ends_with(question)) {
        return text.substr(0, text.size() - question.size());
    }
    return text;
}

}  // namespace

Confirmation::Confirmation(bool assumeYes, std::size_t radios, std::FILE* out, std::FILE* in)
    : assumeYes_(assumeYes), out_(out), in_(in), radios_(radios) {}

bool Confirmation::Ask(std::size_t slot, const std::string& portLabel, const std::string& text,
                       const std::string& change) {
    std::unique_lock lock(mutex_);
    if (assumeYes_) {
        const std::string told = Printable(WithoutTheQuestion(text));
        PrintLine(out_, portLabel.empty() ? told : portLabel + ":\n" + told);
        return true;
    }
    const std::string shown = Printable(text);
    Radio& radio = radios_.at(slot);
    radio.stage = Stage::Asked;
    radio.label = portLabel;
    radio.text = shown;
    radio.change = Printable(change);
    if (!answer_ && EveryRadioIn()) {
        PutQuestion();
    }
    answered_.wait(lock, [this] { return answer_.has_value(); });
    return *answer_;
}

void Confirmation::RadioEnded(std::size_t slot) {
    std::unique_lock lock(mutex_);
    Radio& radio = radios_.at(slot);
    if (radio.stage != Stage::Running) {
        return;
    }
    radio.stage = Stage::Ended;
    const bool anyAsked = std::any_of(radios_.begin(), radios_.end(),
                                      [](const Radio& r) { return r.stage == Stage::Asked; });
    if (!answer_ && anyAsked && EveryRadioIn()) {
        PutQuestion();
    }
}

bool Confirmation::EveryRadioIn() const {
    return std::none_of(radios_.begin(), radios_.end(),
                        [](const Radio& r) { return r.stage == Stage::Running; });
}

std::string Confirmation::QuestionText() const {
    if (radios_.size() == 1) {
        const Radio& radio = radios_.front();
        return radio.label.empty() ? radio.text : radio.label + ":\n" + radio.text;
    }
    std::vector<const Radio*> asked;
    std::size_t labelWidth = 0;
    for (const Radio& radio : radios_) {
        if (radio.stage == Stage::Asked) {
            asked.push_back(&radio);
            labelWidth = std::max(labelWidth, radio.label.size());
        }
    }
    // Every radio that reaches the question has passed the model check: it carries this code.
    const std::string model = ModelNameText(kExpectedModelCode);
    std::string text = " Please confirm the version change of " + std::to_string(asked.size()) +
                       (asked.size() == 1 ? " radio:" : " radios:");
    for (const Radio* radio : asked) {
        text += "\n  " + radio->label + std::string(labelWidth - radio->label.size() + 2, ' ') +
                model + "  " + radio->change;
    }
    return text;
}

void Confirmation::PutQuestion() {
    {
        std::lock_guard consoleLock(ConsoleMutex());
        std::fprintf(out_, "%s\nContinue? [y/N] ", QuestionText().c_str());
        std::fflush(out_);
    }
    std::string answer;
    const bool answered = ReadAnswerLine(in_, answer);
    if (!answered || !IsTerminal(in_)) {
        PrintLine(out_, "");  // no echo ended the prompt's line: a pipe, Ctrl+C or no answer
    }
    answer_ = answered && IsYes(answer);
    answered_.notify_all();
}

}  // namespace qv::cli
