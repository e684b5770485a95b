// Systems without Linux's serial flags: the adapter keeps its own latency.

#include "serial/low_latency.h"

namespace qv {

LowLatencyState TurnOnLowLatency(int /*fd*/) {
    return {};
}

void TurnOffLowLatency(int /*fd*/) {}

}  // namespace qv
