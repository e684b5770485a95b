#pragma once
// What the window's controls do after each event, the same in the Qt and the Windows window:
// when Write may be pressed, when the next-radio loop starts and goes on, when new settings
// load the image again, and which speed button shows the stored choice.

#include <cstddef>

#include "workflow/updater_settings.h"
#include "workflow/write_job.h"

namespace qv {

// Write needs a firmware that passed its checks and a port to write it through, and no job.
bool WriteAllowed(bool jobRunning, bool imageValid, std::size_t portsListed);

// "Update the next radio automatically" takes over after a successful update only.
bool StartsNextRadioLoop(const WriteJobOutcome& outcome, bool automatic);

// After a radio of the loop: a refused radio was sent out of its boot loader and the next can
// answer; any other failure needs the technician at that radio.
bool NextRadioGoesOn(const WriteJobOutcome& outcome);

// OK in the special settings loads the image again when the Mot file is in use or the block
// size changed; switching the Mot file off alone keeps the image that is loaded.
bool SettingsCallForReload(const UpdaterSettings& before, const UpdaterSettings& after);

// The progress bar's position once blocksDone of blocks are handled: the index of the block
// just handled, below the range (empty) before the first, and full once all are done.
int BarPosition(int blocksDone, int blocks);

// The speed button that shows baudIndex: 19200, 57600 and 115200 as stored, anything else as
// 38400 (the default).
int ShownBaudIndex(int baudIndex);

}  // namespace qv
