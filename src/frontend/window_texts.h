#pragma once
// The texts of the window's own boxes and banner, as both windows show them (the job's texts
// are in workflow/job_messages.h).

#include <chrono>
#include <string>

#include "program_version.h"

namespace qv {

inline constexpr const char* kDesignerMessage = "This is Special Version for Designer!";
inline constexpr const char* kExitQuestion = "Do you wish to exit this program?";
inline constexpr const char* kExitCaption = "Confirmation";
inline constexpr const char* kCheckingPortsText = "Checking COM Port Connection.....";
inline constexpr const char* kMustInputFileName = "Must input file name";
inline constexpr const char* kMustInputFileNameCaption = "ERROR";
inline constexpr const char* kAboutBuildLabel = "R731-2T";
inline constexpr const char* kAboutNotice = "Copyright (C) 2026 qv-updater";

// The About box's one line: the program's version beside the copyright (the title shows the
// firmware's).
inline std::string AboutNoticeText() {
    return std::string("Version ") + kProgramVersion + "    " + kAboutNotice;
}

// The status line once a job's line could not be appended to the service log: the log is the
// workshop's proof, so the window says so beside the job's own words, and keeps saying it while
// it waits for the next radio.
inline std::string NotLoggedText(const std::string& status, const std::string& reason) {
    return status + " - not recorded in the service log: " + reason;
}

// The status line when the system would not start the job's thread: nothing was sent.
inline constexpr const char* kNoSessionThreadText =
    "The job could not be started (a system limit on threads): the radio was not touched.";

// The system command that opens the About box (its low four bits are free).
inline constexpr int kAboutCommand = 0x0010;
// The banner closes itself after this, should nobody close it.
inline constexpr std::chrono::milliseconds kBannerLifetime{5000};

}  // namespace qv
