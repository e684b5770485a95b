#pragma once

namespace qv::cli {

// qv-flash's exit codes; with several radios the worst one wins.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitConnection = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitImageNotValid = 3;
inline constexpr int kExitPortNotOpened = 4;
inline constexpr int kExitModelMismatch = 5;
inline constexpr int kExitCancelled = 6;

}  // namespace qv::cli
