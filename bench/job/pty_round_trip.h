#pragma once
// The time one block frame and its ACK take through a bare pseudo-terminal, with a thread on
// the far end answering: what the acknowledged transfer pays per block beyond its pauses
// before the radio's own work.

#include <chrono>

namespace qv::bench {

// Median over many exchanges; zero when no pseudo-terminal can be opened.
std::chrono::duration<double> MeasurePtyRoundTrip();

}  // namespace qv::bench
