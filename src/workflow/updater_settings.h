#pragma once

#include <string>

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

}  // namespace qv
