#pragma once
// Faults the simulated radio can be told to show, for the tests of the write job.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class SimFaultKind {
    SilentLinkup,        // never answers the probe
    WrongModel,          // identification with "MQV9051V" and eight 0x00 instead of 0xFF; with
                         // a value K only radio K of several in turn (wrong-model=K)
    NakBlock,            // block frame `value` (0-based, in the job) is refused, not written:
                         // 0x58 gets 0x15; with 0x57 the next resynchronisation ACK gets 0x15
    HangupBlock,         // closes its end of the terminal when block frame `value` starts
    BadChecksum,         // answers the checksum frame with 0x15 whatever the sum
    SilentAfter,         // from command byte `value` on, answers nothing for the rest of the job
    GarbageBeforeReply,  // after each reply that the updater follows with a write, two stray
                         // bytes (0x15 0x00, masked): a write that purges never reads them
    LateArea,            // answers each area command only near the end of the updater's wait
                         // for it, as a radio with a slow flash erase does
};

struct SimFault {
    SimFaultKind kind;
    int value = 0;  // block number or command byte, where the kind takes one
};

// "nak-block=3", "silent-after=0x5B", "silent-after=checksum", "bad-checksum", ...
std::optional<SimFault> ParseSimFault(std::string_view text);
std::string SimFaultName(const SimFault& fault);

// The first fault of that kind, if any.
const SimFault* FindSimFault(const std::vector<SimFault>& faults, SimFaultKind kind);

}  // namespace qv
