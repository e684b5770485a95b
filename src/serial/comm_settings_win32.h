#pragma once
// The pieces of the Windows serial backend that decide something from what the system
// answered: kept apart from the calls so that they can be checked on their own.

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace qv {

// Fills the control block from a line text ("9600,N,8,2") and then sets our line controls:
// DTR on, RTS off, no hardware handshake. The text goes first because the system's parser
// turns RTS on for this form of text; setting RTS after it keeps RTS off through every
// speed change, so the line never pulses. False when the text does not parse.
bool BuildLineControlBlock(const std::string& lineSettings, DCB& dcb);

// Whether a refused modem-line request (EscapeCommFunction) means only that the port has no
// such line: virtual COM drivers, USB adapters without RTS, a pseudo-terminal under Wine.
bool IsMissingModemLine(DWORD error);

// The port's time-outs: no limit between received bytes; a read of n bytes ends after
// readTotal + readPerByte * n; a write ends after writeBudget. A budget already spent still
// gives 1 ms, since 0 would mean no limit at all.
COMMTIMEOUTS LinkTimeouts(std::chrono::milliseconds readTotal,
                          std::chrono::milliseconds readPerByte,
                          std::chrono::milliseconds writeBudget);

// A write that returns with fewer bytes than asked for has timed out: the rest never left.
bool WriteCompleted(BOOL writeResult, DWORD written, std::size_t wanted);

}  // namespace qv
