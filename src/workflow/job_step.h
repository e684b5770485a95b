#pragma once
// The steps of a job, by name: what the job reports as it runs them, what hosts are told as
// each begins, and what the record lines carry.

#include <string_view>

namespace qv {

// The fourteen steps of the write job in their order, and the version read that identify runs
// in place of the confirmation.
enum class Step {
    OpenPort,
    LinkUp,
    ReadIdentification,
    CheckModel,
    ReadAuxVersion,
    ConfirmVersionChange,
    ReadVersion,
    RequestHighSpeed,
    SettleSpeed,
    SendAreaCommands,
    TransferBlocks,
    SendChecksumFrame,
    SendCommand5B,
    SendEndCommand,
    ClosePort,
};

// "OpenPort", as records and reports name the step.
std::string_view StepName(Step step);

}  // namespace qv
