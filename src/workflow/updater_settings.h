#pragma once
// The settings record and what may go into it: the designer word that opens the special
// settings, and the choices those settings offer. The window's dialog and qv-flash's options
// take them from here.

#include <array>
#include <string>
#include <string_view>

namespace qv {

// The settings record: the main window holds one, the special settings dialog edits a copy,
// the write job reads it. Memory only; every start begins with these defaults.
struct UpdaterSettings {
    int baudIndex = 5;
    int maxBuffer = 256;
    int roundsPerWrite = 90;
    int stopBits = 2;
    int unencrypted = 0;
    int useMotFile = 0;
    std::string motFilePath;
};

// The command-line word that turns the designer mode on, in any letter case.
inline constexpr std::string_view kDesignerWord = "qzx";
bool IsDesignerWord(std::string_view word);

// Region 1's block sizes ("Max Buffer").
inline constexpr std::array<int, 2> kMaxBufferChoices = {128, 256};
// Blocks between two resynchronisations of the streamed transfer ("Round Per Write").
inline constexpr std::array<int, 9> kRoundsChoices = {10, 20, 30, 40, 50, 60, 70, 80, 90};
bool IsRoundsChoice(int rounds);
inline constexpr std::array<int, 2> kStopBitsChoices = {1, 2};

// The baud-rate choices and their baudIndex in the speed table; the choice is stored and shown
// only: after SYN the line always runs at 19200 baud.
inline constexpr int kBaudIndex19200 = 1;
inline constexpr int kBaudIndex38400 = 5;
inline constexpr int kBaudIndex57600 = 6;
inline constexpr int kBaudIndex115200 = 7;

}  // namespace qv
