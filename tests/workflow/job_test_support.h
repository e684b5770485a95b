#pragma once
// What the job tests and the qv-flash tests share: a small firmware file, the region 1 it
// should leave in a radio, a host that answers boxes from a script, a thread count.

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "image/hex_record.h"
#include "workflow/job_host.h"

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

struct BoxRecord {
    std::string text;
    std::string caption;
    BoxButtons buttons;
    BoxIcon icon;
};

// Answers question boxes from a script (Cancel when it runs out) and records every call.
class RecordingHost : public JobHost {
  public:
    explicit RecordingHost(std::vector<BoxAnswer> answers = {}) : answers_(std::move(answers)) {}

    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override;
    void LockControls() override;
    void UnlockControls() override;
    void SetProgressRange(int low, int high) override;
    void SetProgressPosition(int position) override;
    int RunWorker(const std::function<int()>& work) override;
    // True once stopAfterBoxes boxes were shown, or a position of at least stopAtPosition.
    bool StopRequested() override;

    int stopAfterBoxes = -1;  // -1: never
    int stopAtPosition = -1;  // -1: never

    // "lock", "unlock", "range 0..N", "box <caption>", in order.
    std::vector<std::string> events;
    std::vector<BoxRecord> boxes;
    std::vector<int> positions;  // every position set, -1 included
    int workersRun = 0;
    bool workersOnOwnThread = true;   // every worker ran on a thread other than the job's
    bool positionsFromWorker = true;  // every position in range came from a worker thread

  private:
    std::vector<BoxAnswer> answers_;
    std::mutex mutex_;
    std::thread::id workerThread_;
};

}  // namespace qv::test
