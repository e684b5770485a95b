#pragma once
// Raises the calling thread while it waits for the radio's answer, so that a busy machine
// does not let the answer sit unread, and puts back the priority the thread had.

#include <windows.h>

namespace qv {

// Only the calling thread changes: several radios, one thread each, never undo each other's
// boost, and the process keeps the priority class it was started with.
class ReadPriorityBoost {
  public:
    ReadPriorityBoost();
    ~ReadPriorityBoost();
    ReadPriorityBoost(const ReadPriorityBoost&) = delete;
    ReadPriorityBoost& operator=(const ReadPriorityBoost&) = delete;

  private:
    int previous_ = THREAD_PRIORITY_NORMAL;
    bool raised_ = false;
};

}  // namespace qv
