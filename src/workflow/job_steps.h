#pragma once
// The fourteen steps of the write job, in the order the job runs them.

#include <array>

#include "workflow/job_context.h"

namespace qv {

bool OpenPort(JobContext& job);
bool LinkUp(JobContext& job);
bool ReadIdentification(JobContext& job);
bool CheckModel(JobContext& job);
bool ReadAuxVersion(JobContext& job);
bool ConfirmVersionChange(JobContext& job);
bool RequestHighSpeed(JobContext& job);
bool SettleSpeed(JobContext& job);

bool SendAreaCommands(JobContext& job);
bool TransferBlocks(JobContext& job);
bool SendChecksumFrame(JobContext& job);
bool SendCommand5B(JobContext& job);
bool SendEndCommand(JobContext& job);
bool ClosePort(JobContext& job);

// The exchange of the version step without its question: 0x50, 16 bytes, ACK exchange.
bool ReadRadioVersion(JobContext& job);
// The end command with its ACK; true when the radio acknowledged it.
bool ExchangeEndCommand(RadioLink& link);

// The seat asked to stop: before the erase a cancel, after it an interruption. Returns false,
// which ends the job.
bool Stop(JobContext& job);

inline constexpr std::array<StepToRun, 8> kPreparationSteps = {{
    {Step::OpenPort, OpenPort},
    {Step::LinkUp, LinkUp},
    {Step::ReadIdentification, ReadIdentification},
    {Step::CheckModel, CheckModel},
    {Step::ReadAuxVersion, ReadAuxVersion},
    {Step::ConfirmVersionChange, ConfirmVersionChange},
    {Step::RequestHighSpeed, RequestHighSpeed},
    {Step::SettleSpeed, SettleSpeed},
}};

inline constexpr std::array<StepToRun, 6> kTransferSteps = {{
    {Step::SendAreaCommands, SendAreaCommands},
    {Step::TransferBlocks, TransferBlocks},
    {Step::SendChecksumFrame, SendChecksumFrame},
    {Step::SendCommand5B, SendCommand5B},
    {Step::SendEndCommand, SendEndCommand},
    {Step::ClosePort, ClosePort},
}};

// What identify runs: the preparation up to the model check and both version reads.
inline constexpr std::array<StepToRun, 6> kIdentifySteps = {{
    {Step::OpenPort, OpenPort},
    {Step::LinkUp, LinkUp},
    {Step::ReadIdentification, ReadIdentification},
    {Step::CheckModel, CheckModel},
    {Step::ReadAuxVersion, ReadAuxVersion},
    {Step::ReadVersion, ReadRadioVersion},
}};

}  // namespace qv
