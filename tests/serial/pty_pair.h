#pragma once
// A real pseudo-terminal for the link to open; the test is the far end on the master side.
// On Linux tcgetattr on the master reports the slave's settings, so the far end sees the
// line the link has set.

#include <termios.h>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qv::test {

class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // The line as the far end sees it.
    termios FarEndSettings() const;
    unsigned FarEndBaud() const;
    int FarEndStopBits() const;

    void Write(std::span<const std::uint8_t> bytes) const;
    // Up to n bytes that arrive within the time-out.
    std::vector<std::uint8_t> Read(std::size_t n, std::chrono::milliseconds timeout) const;

  private:
    int master_ = -1;
    int slave_ = -1;  // held so that the master never sees a hang-up between opens
    std::string slavePath_;
};

// Baud rate of a termios speed (0 when unknown).
unsigned BaudOf(speed_t speed);

// Descriptors this process holds.
int CountOpenDescriptors();

}  // namespace qv::test
