#pragma once
// The options of qv-flash write, and how they become the job's settings.

#include <optional>
#include <string>
#include <vector>

#include "workflow/updater_settings.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace qv::cli {

struct WriteOptions {
    std::vector<std::string> ports;
    bool yes = false;
    bool json = false;
    bool trace = false;
    bool quiet = false;
    std::optional<std::string> recordPath;  // given, even empty, it must name a file
    std::vector<std::string> words;         // DESIGNER
    std::optional<std::string> motPath;     // given, even empty, it needs the designer word
    std::optional<int> maxBuffer;
    std::optional<int> rounds;
    std::optional<int> stopBits;
    bool unencrypted = false;
    // The options above that need the designer word, as the parser saw them: given counts,
    // whatever the value (an empty one too).
    std::vector<const CLI::Option*> designerOptions;
};

void AddWriteOptions(CLI::App& sub, WriteOptions& options);

// Checks what the parser cannot: the designer word, the options that need it, the ports.
// Returns an empty text when the options are usable, otherwise why not.
std::string CheckWriteOptions(const WriteOptions& options);

// The settings record the job reads, from the defaults and the designer options.
UpdaterSettings SettingsFrom(const WriteOptions& options);

}  // namespace qv::cli
