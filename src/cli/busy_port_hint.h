#pragma once
// Who may hold a serial port that stays busy, in the words of this OS.

#include <string>

namespace qv::cli {

// The likely holders of a port the job found busy all through its retry, and the way out.
std::string BusyPortCauses();

}  // namespace qv::cli
