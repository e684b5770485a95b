#pragma once
// The state one job keeps while its steps run.

#include <array>
#include <cstdint>
#include <string>

#include "image/image_mirror.h"
#include "protocol/protocol_constants.h"
#include "protocol/radio_link.h"
#include "workflow/job_seat.h"
#include "workflow/job_step.h"
#include "workflow/write_job.h"

namespace qv {

struct JobContext {
    JobContext(RadioLink& radio, JobSeat& jobSeat, const WriteJobInput& jobInput,
               WriteJobOutcome& report)
        : link(radio), seat(jobSeat), input(jobInput), outcome(report) {
        radioVersion.fill(0xFF);
    }

    RadioLink& link;
    JobSeat& seat;
    const WriteJobInput& input;
    WriteJobOutcome& outcome;
    std::string port;  // as the status texts name it

    std::int32_t status = 0;  // JobStatus: a failure that has a code of its own stores it
    bool highSpeedConfirmed = false;
    std::array<std::uint8_t, kIdentificationSize> identificationBlock{};
    std::array<std::uint8_t, kVersionReplySize> radioVersion{};
    ImageMirror mirror;
};

// A step: true lets the job go on; a failure with a code stores it in status.
using StepFunction = bool (*)(JobContext&);

struct StepToRun {
    Step step;
    StepFunction run;
};

}  // namespace qv
