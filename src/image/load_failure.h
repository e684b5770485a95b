#pragma once
// Why an image was refused, kept for the command line; the desktop application shows only
// its one message.

#include <string>
#include <utility>

namespace qv {

struct LoadFailure {
    std::string reason;  // short, lower case, e.g. "record checksum does not match"
    int line = 0;        // text line where reading stopped, 0 when there is none
};

// Stores the reason once: the first failure found is the one worth naming.
inline void NoteFailure(LoadFailure* failure, std::string reason, int line = 0) {
    if (failure != nullptr && failure->reason.empty()) {
        failure->reason = std::move(reason);
        failure->line = line;
    }
}

}  // namespace qv
