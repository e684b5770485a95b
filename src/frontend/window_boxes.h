#pragma once
// Every message box of the desktop application, chosen here once for every window: the job's
// question and its end, and the window's own boxes.

#include <optional>
#include <string>

#include "frontend/message_box.h"
#include "workflow/write_job.h"

namespace qv {

// The version-change question: OK writes, Cancel cancels. radioVersion is nothing when the
// radio holds none.
MessageBox VersionChangeBox(const std::optional<std::string>& radioVersion,
                            const std::string& newVersion);
// After Cancel at the question, before the radio is sent out of its boot loader.
MessageBox CancelledBox();
// How a job ended: "Writing completed.", or its error; nothing after a cancel (its box came
// with the answer) and after an interruption (whoever stopped the job knows why).
std::optional<MessageBox> OutcomeBox(const WriteJobOutcome& outcome);

// The designer word on the command line, once per word.
MessageBox DesignerBox();
// The firmware (carried or the Mot file) did not pass its checks.
MessageBox ImageNotValidBox();
// Exit, Escape and the close box ask this first.
MessageBox ExitQuestionBox();
// The special settings' OK with "Use Mot File" ticked and no file name.
MessageBox MustInputFileNameBox();

}  // namespace qv
