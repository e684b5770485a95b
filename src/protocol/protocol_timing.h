#pragma once
// Every pause and time-out of the boot-loader protocol. The protocol has no flow control:
// these pace it. A spin (SpinWait) does not yield; a sleep does.

#include <chrono>

namespace qv {

using namespace std::chrono_literals;

// --- Read time-outs -------------------------------------------------------------------

// The link's standing read time-out: the boot loader answers a command well within it.
inline constexpr std::chrono::milliseconds kStandingReadTimeout = 1000ms;
// Each read of the link-up: short, so that seven speeds can be tried in about 19 s.
inline constexpr std::chrono::milliseconds kLinkUpReadTimeout = 500ms;
// WaitForAck: area erases, the checksum and command 0x5B make the radio work before it answers.
inline constexpr std::chrono::milliseconds kWaitForAckTimeout = 3000ms;
// The 0x0B handshake: the radio switches its own UART before it answers at the new speed.
inline constexpr std::chrono::milliseconds kHighSpeedRequestTimeout = 2000ms;

// --- Link-up --------------------------------------------------------------------------

// Reads of one byte per attempt while waiting for SYN, and again for ACK.
inline constexpr int kLinkUpPolls = 5;
// Between SYN polls: a sleep, not a spin; nothing is due on the line meanwhile.
inline constexpr std::chrono::milliseconds kSynPollPause = 20ms;
// Between ACK polls: the radio answers ACK soon after its own speed change.
inline constexpr std::chrono::milliseconds kAckPollPause = 10ms;
// After each line change of the link-up and inside SwitchSpeed: the UART and the radio's
// receiver settle at the new speed before the next byte.
inline constexpr std::chrono::milliseconds kLineChangeSettle = 100ms;

// --- Write job and transfer -----------------------------------------------------------

// After the port is opened for a job: lets the adapter's lines settle before the link-up.
inline constexpr std::chrono::milliseconds kPortOpenSettle = 50ms;
// A port busy as a job starts is opened again for this long: on Linux, ModemManager opens a
// newly plugged ttyACM or ttyUSB port for a few seconds to probe it for a modem.
inline constexpr std::chrono::milliseconds kBusyPortRetryTime = 3000ms;
// Between two opens of a busy port: long enough not to compete with the prober, short
// enough that the job starts soon after it lets go.
inline constexpr std::chrono::milliseconds kBusyPortRetryPause = 100ms;
// After a speed change command has left the line, before the local switch: the radio must
// take the command in at the old speed before the line changes under it.
inline constexpr std::chrono::milliseconds kSpeedChangeLead = 25ms;
// After switching to 115200 baud in the high-speed request: the radio switches too.
inline constexpr std::chrono::milliseconds kHighSpeedSwitchSettle = 25ms;
// After going back to 19200 baud when high speed was not confirmed.
inline constexpr std::chrono::milliseconds kLowSpeedReturnSettle = 50ms;
// After each streamed block frame has left the line: the radio writes the block to flash and
// hears nothing meanwhile; it sends no answer.
inline constexpr std::chrono::milliseconds kStreamedBlockPause = 25ms;
// After each acknowledged block frame's ACK: a short yield before the next frame.
inline constexpr std::chrono::milliseconds kAcknowledgedBlockPause = 5ms;

}  // namespace qv
