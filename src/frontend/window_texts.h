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

// The system command that opens the About box (its low four bits are free).
inline constexpr int kAboutCommand = 0x0010;
// The banner closes itself after this, should nobody close it.
inline constexpr std::chrono::milliseconds kBannerLifetime{5000};

}  // namespace qv
