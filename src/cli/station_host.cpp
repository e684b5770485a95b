#include "cli/station_host.h"

#include "cli/interruption.h"
#include "workflow/worker_thread.h"

namespace qv::cli {

namespace {

// The version-change text's middle line: "Ver. old -> Ver. new" or "No Data -> Ver. new".
std::string VersionChange(const std::string& text) {
    const std::size_t first = text.find('\n');
    const std::size_t second = first == std::string::npos ? first : text.find('\n', first + 1);
    if (second == std::string::npos) {
        return text;
    }
    const std::string line = text.substr(first + 1, second - first - 1);
    const std::size_t start = line.find_first_not_of(' ');
    return start == std::string::npos ? line : line.substr(start);
}

}  // namespace

BoxAnswer StationHost::ShowMessage(const std::string& text, const std::string& /*caption*/,
                                   BoxButtons buttons, BoxIcon /*icon*/) {
    if (buttons == BoxButtons::OkCancel) {
        screen_.Identified(slot_, VersionChange(text));
    }
    return BoxAnswer::Ok;
}

void StationHost::SetProgressRange(int low, int high) {
    low_ = low;
    screen_.WritingStarts(slot_, high - low);
}

void StationHost::SetProgressPosition(int position) {
    if (position >= low_) {
        screen_.Writing(slot_, position - low_);
    }
}

int StationHost::RunWorker(const std::function<int()>& work) {
    return RunOnWorkerThread(work);
}

bool StationHost::StopRequested(JobPhase phase) {
    if (InterruptCount() >= 2) {
        return true;
    }
    return (InterruptCount() == 1 || tally_.Ending()) && phase == JobPhase::Preparing;
}

}  // namespace qv::cli
