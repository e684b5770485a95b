#pragma once
// The ports a window lists: the port table, each device probed once when it appears, or when
// it may have changed (it came back, or its permission did), not at every refresh: a probe
// opens the device, which toggles some adapters' lines, and spins on a port that answers.

#include <map>
#include <string>
#include <vector>

#include "frontend/port_choice.h"
#include "serial/serial_link.h"

namespace qv {

class PortProbe {
  public:
    // The table's ports that pass the probe, in table order. retryUnopened: probe again the
    // devices that could not be opened (another program may have let go of one).
    std::vector<ListedPort> Refresh(const std::vector<PortInfo>& table, bool retryUnopened);

  private:
    struct Verdict {
        bool opened = false;
        bool rs232 = false;
        // What the table said when the device was probed; a change means probing again.
        bool permissionDenied = false;
        bool missing = false;
    };

    Verdict Probe(const PortInfo& port);

    // A link of the probe's own: the job's link keeps the chosen port whatever is probed.
    SerialLink link_;
    std::map<std::string, Verdict> verdicts_;  // by device
};

}  // namespace qv
