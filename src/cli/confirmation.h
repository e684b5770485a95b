#pragma once
// The version-change question of a run, asked once. With several radios every one is
// identified first; the question then shows them all in one table, and its one answer goes to
// every radio that asked. No progress bar runs while it waits.

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qv::cli {

class Confirmation {
  public:
    Confirmation(bool assumeYes, std::size_t radios, std::FILE* out, std::FILE* in);

    // Radio `slot` asks (its job waits here) with the question's text and, for the table of
    // several radios, its change ("Ver. old -> Ver. new"). Without --yes, the question is put
    // once every radio has asked or ended; only y or yes (any case) continues, no answer and
    // Ctrl+C cancel. With --yes the text is printed and the answer is yes.
    bool Ask(std::size_t slot, const std::string& portLabel, const std::string& text,
             const std::string& change = {});
    // Radio `slot` has ended; one that never asked no longer holds the question up.
    void RadioEnded(std::size_t slot);

  private:
    enum class Stage { Running, Asked, Ended };
    struct Radio {
        Stage stage = Stage::Running;
        std::string label;
        std::string text;
        std::string change;
    };

    bool EveryRadioIn() const;
    // Puts the question for the radios that asked and stores the answer; the lock is held.
    void PutQuestion();
    std::string QuestionText() const;

    bool assumeYes_;
    std::FILE* out_;
    std::FILE* in_;
    std::mutex mutex_;
    std::condition_variable answered_;
    std::vector<Radio> radios_;
    std::optional<bool> answer_;
};

}  // namespace qv::cli
