#include "workflow/job_step.h"

#include <array>

namespace qv {

namespace {

struct StepNaming {
    Step step;
    std::string_view name;
};

constexpr std::array<StepNaming, 15> kStepNames = {{
    {Step::OpenPort, "OpenPort"},
    {Step::LinkUp, "LinkUp"},
    {Step::ReadIdentification, "ReadIdentification"},
    {Step::CheckModel, "CheckModel"},
    {Step::ReadAuxVersion, "ReadAuxVersion"},
    {Step::ConfirmVersionChange, "ConfirmVersionChange"},
    {Step::ReadVersion, "ReadVersion"},
    {Step::RequestHighSpeed, "RequestHighSpeed"},
    {Step::SettleSpeed, "SettleSpeed"},
    {Step::SendAreaCommands, "SendAreaCommands"},
    {Step::TransferBlocks, "TransferBlocks"},
    {Step::SendChecksumFrame, "SendChecksumFrame"},
    {Step::SendCommand5B, "SendCommand5B"},
    {Step::SendEndCommand, "SendEndCommand"},
    {Step::ClosePort, "ClosePort"},
}};

}  // namespace

std::string_view StepName(Step step) {
    for (const StepNaming& naming : kStepNames) {
        if (naming.step == step) {
            return naming.name;
        }
    }
    return "Unknown";
}

}  // namespace qv
