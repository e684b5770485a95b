#pragma once
// What the simulated radio saw: every departure from the wire sequence and the counts.

#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct SimDeviation {
    int job = 0;          // 1-based number of the job it happened in (0: before any)
    std::string state;    // what the boot loader was waiting for
    std::string message;  // what went wrong, for a person
};

struct SimJobRecord {
    int radio = 1;               // which radio of the ones in turn (its serial-number byte)
    bool masked = false;         // the session mask was not 0
    bool highSpeed = false;      // the 115200 handshake was completed
    std::string transfer;        // "none", "streamed" or "acknowledged"
    int blocks = 0;              // block frames accepted and written
    bool checksumAcked = false;  // the checksum frame matched the flash
    std::string end;             // "end command", "cancelled", "closed", "hung up"
    // With the line's byte times modelled (--line-rate): the shortest time between a streamed
    // frame leaving the line and the next one starting, in milliseconds; -1 when not measured.
    double shortestProgrammingGapMs = -1;
};

struct SimReport {
    std::vector<SimDeviation> deviations;
    std::vector<SimJobRecord> jobLog;  // one entry per ended job
    int jobs = 0;                      // jobs ended (by the end command or the updater's close)
    int frames = 0;                    // block frames received
    long long bytes = 0;               // bytes taken at the listening speed
    int resynchronisations = 0;        // 19200/38400 resynchronisations inside streamed jobs
    long long garbledBytes = 0;        // bytes dropped: sent at a speed it was not listening at
    int highSpeedJobs = 0;             // jobs that completed the 115200 handshake
    int probesAnswered = 0;            // link-ups answered with SYN
    // With a USB adapter modelled: its latency timer, the replies it held, and how many of them
    // only 1 ms because the updater had low latency on.
    int adapterLatencyMs = 0;
    long long repliesHeld = 0;
    long long repliesHeldLowLatency = 0;
};

std::string SimReportToJson(const SimReport& report);

}  // namespace qv
