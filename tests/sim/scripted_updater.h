#pragma once
// A small updater written straight from the wire sequence, to drive the simulator with raw
// bytes over its pseudo-terminal. It shares nothing with the real updater but the constants.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::test {

using namespace std::chrono_literals;

// Ways the script departs from the wire sequence on purpose.
enum class Mutation {
    None,
    OneStopBit,            // the line uses one stop bit where the radio wants two
    FramesAt19200,         // the streamed frames go out without the switch to 38400
    BadBlockSum,           // block 1 carries a wrong sum
    WrongChecksumRange,    // the checksum frame names 08 0D FF FF as its end
    AreasSwapped,          // areas 05 and 06 go out in the wrong order
    UnmaskedAfterSession,  // 0x40 goes out without the mask
    SkipResyncAck,         // the return to 19200 is not confirmed
    BadSessionByte,        // a session byte that is neither idSum nor a clock seed
    NoPurge,               // writes do not discard what arrived before them
    BlockOutsideRegion,    // block 1 goes to 0x08000000
    BlocksOutOfOrder,      // blocks 1 and 2 change places
    EndBeforeAreas,        // the end command where the area commands belong
    BadSpeedCode,          // the transfer's first speed change carries code 5
    NoProgrammingTime,     // streamed frames 10 ms apart, counted from the write, not the wire
};

struct Block {
    std::uint32_t address = 0;
    std::vector<std::uint8_t> data;
};

struct JobScript {
    bool unencrypted = false;
    int stopBits = 2;
    int roundsPerWrite = 10;
    std::vector<int> probeSpeeds = {9600, 19200};
    std::vector<Block> blocks;
    bool cancel = false;  // end with 0x45 after the version exchange
    Mutation mutation = Mutation::None;
};

struct JobOutcome {
    std::string failedAt;  // empty: the whole job went through
    std::vector<std::uint8_t> identification;
    std::vector<std::uint8_t> version;
    bool highSpeed = false;
};

class ScriptedUpdater {
  public:
    explicit ScriptedUpdater(const std::string& path);
    ~ScriptedUpdater();
    ScriptedUpdater(const ScriptedUpdater&) = delete;
    ScriptedUpdater& operator=(const ScriptedUpdater&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    void Close();
    bool SetLine(int baud, int stopBits);
    bool Write(const std::vector<std::uint8_t>& bytes, bool masked = true);
    std::optional<std::vector<std::uint8_t>> Read(std::size_t count,
                                                  std::chrono::milliseconds timeout);
    bool ReadAck(std::chrono::milliseconds timeout);
    bool AckExchange();

    std::uint8_t mask = 0;
    bool purge = true;

  private:
    int fd_ = -1;
};

// Runs one job of the wire sequence on a port of its own; opens and closes the device.
JobOutcome RunJob(const std::string& device, const JobScript& script);

// What the radio's region 1 holds after the job: erased, then the blocks.
std::vector<std::uint8_t> ExpectedFlash(const std::vector<Block>& blocks);

}  // namespace qv::test
