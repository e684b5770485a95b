#pragma once
// qv-flash's terminal: one lock for everything that writes to stdout or stderr, so that the
// lines of radios updated at the same time never mix inside a line.

#include <cstdio>
#include <mutex>
#include <string>

namespace qv::cli {

std::mutex& ConsoleMutex();

// Writes the text and a line break under the console lock, and flushes.
void PrintLine(std::FILE* stream, const std::string& text);

bool IsTerminal(std::FILE* stream);

// The text with every byte outside printable ASCII, line breaks apart, written as \xNN: a
// radio's version bytes must not reach the terminal as control sequences.
std::string Printable(const std::string& text);

}  // namespace qv::cli
