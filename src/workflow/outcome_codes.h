#pragma once
// How a job or a run ended, as a number: qv-flash exits with it, and every record line of a
// job (qv-flash --record, the window's service log) carries it.

namespace qv {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitConnection = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitImageNotValid = 3;
inline constexpr int kExitPortNotOpened = 4;
inline constexpr int kExitModelMismatch = 5;
inline constexpr int kExitCancelled = 6;
// A radio's outcome could not be appended to the record: the shop has no proof of it.
inline constexpr int kExitNotRecorded = 7;

}  // namespace qv
