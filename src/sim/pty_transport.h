#pragma once
// The radio's end of the wire: the master side of a pseudo-terminal. The updater opens the
// far end; its line settings are read back from the master, as the radio's UART would feel
// them.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sim/wire_line.h"

namespace qv {

class PtyTransport : public ReplyPort {
  public:
    PtyTransport() = default;
    ~PtyTransport() override;
    PtyTransport(const PtyTransport&) = delete;
    PtyTransport& operator=(const PtyTransport&) = delete;

    bool Open();
    void Close();
    const std::string& FarEndPath() const { return farEndPath_; }
    int MasterFd() const { return master_; }
    int WatchFd() const { return watch_; }

    // Reads what has arrived, each byte tagged with the updater's line of this moment.
    void ReadArrived(std::vector<TaggedByte>& out);
    // Takes the open and close events of the far end; true when the updater has closed it.
    bool TakeUpdaterClosed();

    void Send(std::span<const std::uint8_t> wire) override;
    LineState UpdaterLine() override;
    void HangUp() override;
    void ReleaseExclusive() override;

  private:
    int master_ = -1;
    int farEndHeld_ = -1;  // keeps the terminal alive while no updater has it open
    int watch_ = -1;
    int openers_ = 0;
    std::string farEndPath_;
};

}  // namespace qv
