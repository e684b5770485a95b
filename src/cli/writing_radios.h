#pragma once
// The radios being written, as the forced exit (the Ctrl+C that ends the program at once)
// records them. It cannot wait for their jobs, which may hang in a read for seconds, so each
// line is made from what the job knew when the writing began and the blocks shown since; the
// radio that most needs its line holds incomplete firmware.

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "workflow/record_file.h"
#include "workflow/write_job.h"

namespace qv::cli {

class WritingRadios {
  public:
    // record: --record's file, never nullptr.
    explicit WritingRadios(std::shared_ptr<RecordFile> record) : record_(std::move(record)) {}

    // The radio on slot begins to be written; port as the record names it.
    void Begin(std::size_t slot, const std::string& port, const WriteJobOutcome& known);
    // The transfer has handled this many blocks.
    void Blocks(std::size_t slot, int blocks);
    // The radio's job has ended (halfWritten: interrupted): appends its own line, under the
    // same lock as the forced exit's, so that the radio gets one line, and gets it whenever the
    // exit comes. False with the reason when the line could not be written.
    bool Finish(std::size_t slot, const std::string& line, bool halfWritten, std::string& reason);
    const std::string& Path() const { return record_->Path(); }
    // Appends the line of every radio still being written, its outcome interrupted, with this
    // exit code. True when there was none or each was written; otherwise false with the reason.
    // halfWritten: a radio was being written, or its job ended interrupted.
    bool RecordInterrupted(int exitCode, bool& halfWritten, std::string& reason);

  private:
    struct Radio {
        std::string port;
        WriteJobOutcome known;
        std::chrono::steady_clock::time_point began;
    };

    std::shared_ptr<RecordFile> record_;
    std::mutex mutex_;
    std::map<std::size_t, Radio> radios_;
    bool halfWritten_ = false;  // a radio's job ended interrupted
};

}  // namespace qv::cli
