#pragma once
// What the job tests and the qv-flash tests share: a small firmware file, the region 1 it
// should leave in a radio, a host that answers boxes from a script, a thread count.

#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "image/hex_record.h"
#include "workflow/write_job.h"

namespace qv::test {

inline constexpr const char* kTestVersionLabel = "TEST-1.0";

// Writes an S-record file whose region 1 becomes `blockCount` transfer blocks of 68 bytes
// (64 data bytes and 4 fill bytes each); the last block holds the model identity.
void WriteTestMot(const std::string& path, int blockCount);

// A fresh directory for one test's files.
std::string MakeTempDir();

// Region 1 (0x08010000..0x080DFFFF) as a radio holds it after these blocks were written on an
// erased flash.
std::vector<std::uint8_t> Region1Of(const RecordList& blocks);

// Threads of this process now.
int ThreadCount();

// A seat that answers the version question from a script (no when it runs out) and keeps what
// the job asked and told, checking that every call came on the job's own thread.
class RecordingSeat : public JobSeat {
  public:
    explicit RecordingSeat(std::vector<bool> answers = {}) : answers_(std::move(answers)) {}

    bool ConfirmVersionChange(const std::optional<std::string>& radioVersion,
                              const std::string& newVersion) override;
    void StepBegun(Step step) override;
    void Progress(int blocksDone, int blocks) override;
    void WritingBegins(const WriteJobOutcome& known) override;
    void Finished(const WriteJobOutcome& outcome) override;
    // True once stopAfterQuestions questions were asked, or stopAtBlocks blocks are done.
    bool StopRequested(JobPhase phase) override;

    int stopAfterQuestions = -1;  // -1: never
    int stopAtBlocks = -1;        // -1: never

    struct Question {
        std::optional<std::string> radioVersion;
        std::string newVersion;
    };
    std::vector<Question> questions;
    // "step LinkUp", "progress 3/25", "writing", "finished", in order.
    std::vector<std::string> events;
    std::vector<int> blocksDone;  // every progress told
    bool onJobThread = true;      // every call came on the thread that began the job

  private:
    void Note(std::string event);

    std::vector<bool> answers_;
    std::optional<std::thread::id> jobThread_;
};

}  // namespace qv::test
