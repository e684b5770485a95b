#include "frontend/window_rules.h"

namespace qv {

bool WriteAllowed(bool jobRunning, bool imageValid, std::size_t portsListed) {
    return !jobRunning && imageValid && portsListed > 0;
}

bool StartsNextRadioLoop(const WriteJobOutcome& outcome, bool automatic) {
    return automatic && outcome.succeeded;
}

bool NextRadioGoesOn(const WriteJobOutcome& outcome) {
    return outcome.succeeded || outcome.status == StatusModelMismatch;
}

bool SettingsCallForReload(const UpdaterSettings& before, const UpdaterSettings& after) {
    return after.useMotFile != 0 || after.maxBuffer != before.maxBuffer;
}

int BarPosition(int blocksDone, int blocks) {
    return blocksDone >= blocks ? blocks : blocksDone - 1;
}

int ShownBaudIndex(int baudIndex) {
    switch (baudIndex) {
        case kBaudIndex19200:
        case kBaudIndex57600:
        case kBaudIndex115200:
            return baudIndex;
        default:
            return kBaudIndex38400;
    }
}

}  // namespace qv
