#pragma once
// Linux's serial flag ASYNC_LOW_LATENCY: while it is on, ftdi_sio runs its chip's latency
// timer at 1 ms instead of the 16 ms the chip holds each reply for (since Linux 4.10 the
// driver no longer turns it on by itself). One file per OS: elsewhere nothing happens.

namespace qv {

struct LowLatencyState {
    bool on = false;        // the driver reports the flag on
    bool turnedOn = false;  // this open asked for it: the close turns it off again
};

// Asks for the flag where the driver answers TIOCGSERIAL and takes TIOCSSERIAL. A refusal (a
// pseudo-terminal, a driver without serial info, no permission) is no failure: the port only
// keeps its own latency.
LowLatencyState TurnOnLowLatency(int fd);

// Turns the flag off again after TurnOnLowLatency turned it on; every other flag stays as the
// driver has it.
void TurnOffLowLatency(int fd);

}  // namespace qv
