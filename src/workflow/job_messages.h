#pragma once
// The texts and captions of the job's message boxes, exactly as the radio's users know them.

namespace qv {

inline constexpr const char* kConnectionMessage =
    "Ensure that all connections between the transceiver and the PC as well as the COM port "
    "settings are in place.\nPlease try again.";
inline constexpr const char* kPortOpenFailedMessage = "The COM port cannot be opened.";
inline constexpr const char* kModelMismatchMessage = "Check Model Name and Market Code.";
inline constexpr const char* kCancelledMessage = "Operation has been canceled";
inline constexpr const char* kWritingCompletedMessage = "Writing completed.";
// After a job stopped between frames, once the radio's flash was erased.
inline constexpr const char* kInterruptedMessage =
    "Writing was interrupted: the radio does not hold complete firmware. Keep it in boot-loader "
    "mode and write again.";

inline constexpr const char* kUpdaterCaption = "Updater for QV-310/QV-410(HW V2.0)";
inline constexpr const char* kConfirmationCaption = "Solvane Updater";
inline constexpr const char* kErrorCaption = "Error";

// The parts of the version-change confirmation.
inline constexpr const char* kConfirmationFirstText = " Please confirm the version change: ";
inline constexpr const char* kConfirmationLastText = "Do you want to continue?";
inline constexpr const char* kNoVersionText = "No Data";

}  // namespace qv
