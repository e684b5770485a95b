#pragma once
// The job in plain words, a line at a time: what the window's status line and qv-flash's
// progress say while a job runs, and how it ended. Made here once, so that both say the same.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "serial/port_table.h"
#include "workflow/write_job.h"

namespace qv {

// The port as the texts name it: "COM10", not "\\.\COM10".
std::string ShownPortName(std::string_view device);

// What a step (OpenPort .. ClosePort) is doing as it starts; empty for the steps that pass too
// quickly to be read, and for the link-up, which names each speed it tries instead.
std::string StepStatusText(Step step, std::string_view port);

// Each speed the link-up tries: "Looking for the radio on /dev/ttyUSB0 (9600 bps)...".
std::string LinkUpStatusText(std::string_view port, std::string_view speed);

// Once the radio's version is read: "Radio found, version V1.02.03". The identification block
// carries one model code for the QV-310 and the QV-410 alike, so the text names neither.
std::string RadioFoundText(std::span<const std::uint8_t> radioVersion);

// Said once a radio answers on a port whose adapter holds each reply for a latency timer that
// costs time (kLatencyWorthTelling): how long, what it adds to an update of `blocks` blocks
// (0: not known) and how to set it to 1 ms.
std::string AdapterLatencyText(std::string_view port, const LatencyTimer& timer, int blocks);

// A port another program holds as the job starts: it is tried again for `retry`.
std::string BusyPortText(std::string_view port, std::chrono::milliseconds retry);

// "0:42", as the time left is shown.
std::string MinutesAndSeconds(std::chrono::seconds time);

// "Writing block 1210 of 3328, 0:42 left"; without the time while none is known.
std::string TransferStatusText(int done, int total, std::optional<std::chrono::seconds> left);

// How a write job ended, with the port and the versions it knows.
std::string OutcomeStatusText(std::string_view port, const WriteJobOutcome& outcome);

// A station between two radios: "Waiting for the next radio on /dev/ttyUSB0".
std::string WaitingForRadioText(std::string_view port);

// The next-radio loop's port did not open: "/dev/ttyUSB0: no such device; waiting for the port
// to come back". Said once, until the port opens again.
std::string PortGoneText(std::string_view failure);

// The window between two radios, with its count: "Waiting for the next radio on /dev/ttyUSB0
// (2 updated this session)".
std::string WaitingStatusText(std::string_view port, int updated);
// "Stopped waiting for the next radio on /dev/ttyUSB0 (2 updated this session)"
std::string StoppedWaitingText(std::string_view port, int updated);

// The time left of a transfer, from its pace since the first block was reported: the speed
// change before it and the radio's first programming gap say nothing about the pace.
class TransferPace {
  public:
    using Clock = std::chrono::steady_clock;

    // `done` of `total` blocks handled by `now`. Nothing until enough blocks and time have
    // passed to show a pace, and nothing once all are done.
    std::optional<std::chrono::seconds> TimeLeft(int done, int total, Clock::time_point now);

  private:
    bool started_ = false;
    int firstDone_ = 0;
    Clock::time_point firstAt_{};
};

}  // namespace qv
