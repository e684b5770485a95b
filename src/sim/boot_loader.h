#pragma once
// The boot loader's state machine: fed with the bytes the updater sent, each tagged with the
// line it was sent on, it answers as the radio does and notes every departure from the wire
// sequence of an update job.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim_report.h"
#include "sim/simulator.h"
#include "sim/wire_line.h"

namespace qv {

enum class BootStage {
    AwaitProbe,          // at the listening speed, for the access code
    AwaitLinkLine,       // SYN sent; ACK goes out once the updater's line is at 19200
    AwaitIdentify,       // 0x02
    AwaitSessionByte,    // one unmasked byte
    AwaitSessionAck,     // 0x06, still unmasked
    AwaitAuxVersion,     // 0x40
    AwaitAuxAck,         // the ACK exchange after the 0x40 reply
    AwaitVersion,        // 0x50
    AwaitVersionAck,     // the ACK exchange after the 0x50 reply
    AwaitHighSpeed,      // 0x0B, or the end command of a cancel
    AwaitHighSpeedAck,   // the updater's 0x06 after its switch (or after settling at 19200)
    AwaitHighSpeedLast,  // the updater's 0x06 that confirms 115200
    AwaitArea,           // "R" and two digits, in the order 10, 04, ... 09
    AwaitTransfer,       // speed changes, block frames, ACK exchanges, the checksum frame
    AwaitCommand5B,      // 0x5B
    AwaitEnd,            // 0x45
};

const char* BootStageName(BootStage stage);

class BootLoader {
  public:
    using Clock = std::chrono::steady_clock;

    BootLoader(const SimulatorOptions& options, ReplyPort& port);

    void OnByte(const TaggedByte& byte, Clock::time_point now);
    // The updater closed its end: a job in progress ends here.
    void OnUpdaterClosed();
    // Called every few milliseconds: the link-up's ACK and the time-out of a frame.
    void OnTick(Clock::time_point now);

    bool HungUp() const { return hungUp_; }
    // The last of the radios in turn has left its boot loader.
    bool AllRadiosLeft() const { return options_.radios > 0 && radio_ > options_.radios; }
    int ListeningSpeed() const { return listenBaud_; }
    const SimReport& Report() const { return report_; }
    const std::vector<std::uint8_t>& Flash() const { return flash_; }

  private:
    // Session and command stages (boot_loader.cpp).
    void TakeByte(std::uint8_t value, const LineState& line);
    void HandleProbeByte(std::uint8_t value);
    void HandleCommandByte(std::uint8_t value);
    void BeginFrame(std::uint8_t lead, std::size_t length);
    void HandleFrame();
    void HandleSessionStages(std::uint8_t value);
    void HandleVersionStages(std::uint8_t value);
    void HandleHighSpeedStages(std::uint8_t value);
    void HandleEnd(std::uint8_t value);
    void SendIdentification();
    void SendVersionReply(const std::string& text, bool empty);

    // Transfer stages (boot_loader_transfer.cpp).
    void HandleAreaCommand();
    void HandleTransferByte(std::uint8_t value);
    void HandleSpeedChange();
    void HandleTransferAck();
    void HandleBlockFrame();
    // A streamed frame that starts before the radio has programmed the last one.
    void CheckProgrammingGap();
    // Notes what is wrong with the frame; false when the radio refuses it.
    bool CheckBlockFrame(bool streamed, int index, std::uint32_t address, std::size_t count);
    void HandleChecksumFrame();
    void WriteBlock(std::uint32_t address, const std::uint8_t* data, std::size_t length);
    std::uint16_t FlashSum(std::uint32_t first, std::uint32_t last) const;

    // Replies, deviations, jobs and radios (boot_loader_io.cpp).
    void Reply(std::initializer_list<std::uint8_t> bytes, bool strayAfter = true);
    void ReplyBytes(const std::vector<std::uint8_t>& data, bool strayAfter);
    void Deviation(const std::string& message);
    void Unexpected(std::uint8_t value);
    void CheckStopBits(const LineState& line);
    void NoteGarbled(const TaggedByte& byte);
    void StartJob();
    void EndJob(const std::string& how);
    void ResetLink();
    // The radio leaves its boot loader after its end command; the next one comes later.
    void RadioLeaves();
    // No radio in its boot loader on the line: between two radios, or after the last.
    bool NoRadio(Clock::time_point now) const;
    // A fault given for one radio of several (value K), or for all (no value).
    bool FaultOfThisRadio(const SimFault* fault) const;

    SimulatorOptions options_;
    ReplyPort& port_;
    SimReport report_;
    std::vector<std::uint8_t> flash_;

    BootStage stage_ = BootStage::AwaitProbe;
    int listenBaud_;
    std::uint8_t mask_ = 0;
    std::size_t probeMatched_ = 0;
    bool hungUp_ = false;
    int radio_ = 1;                    // the radio on the line (its serial-number byte)
    Clock::time_point nextRadioAt_{};  // until then nobody answers

    // The job in progress.
    bool inJob_ = false;
    SimJobRecord job_;
    std::vector<std::uint8_t> identification_;
    std::uint8_t idSum_ = 0;
    std::uint8_t sessionByte_ = 0;
    bool silent_ = false;
    bool stopBitsNoted_ = false;
    bool unexpectedRun_ = false;
    bool garbledRun_ = false;
    std::size_t areaIndex_ = 0;
    bool erased_ = false;
    int frameIndex_ = 0;         // block frames of this job so far
    int framesSinceResync_ = 0;  // streamed frames since the last 19200 change
    bool resyncNoted_ = false;
    bool nakPending_ = false;  // a streamed block was refused: the next ACK gets 0x15
    std::uint8_t lastSpeedCode_ = 0;
    bool ackAllowed_ = false;  // an ACK exchange may follow the last speed change
    bool ackDone_ = false;     // the last confirmed change has had its ACK exchange
    std::uint32_t lastBlockEnd_ = 0;
    bool streamedFrameSeen_ = false;        // a streamed frame of this job has left the line
    Clock::time_point streamedFrameEnd_{};  // when its last byte left the modelled line
    Clock::time_point frameStart_{};        // when the streamed frame being read began on it
    bool programmingGapNoted_ = false;

    // A frame being gathered.
    std::vector<std::uint8_t> frame_;
    std::size_t frameLength_ = 0;
    Clock::time_point lastByteTime_{};  // when the last byte taken was on the modelled line
    TaggedByte lastByte_;
};

}  // namespace qv
