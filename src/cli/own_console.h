#pragma once
// Whether qv-flash was started by a double-click rather than from a command prompt: Windows
// then makes a console for it alone, which closes with the program.

namespace qv::cli {

// True when no other process shares this program's console (Windows); never on POSIX, where a
// terminal program is started from a terminal.
bool StartedInAConsoleOfItsOwn();

}  // namespace qv::cli
