#pragma once
// What a window's port list shows and when it looks again: the entries of the ports that pass
// the probe, the one selected, and why none can be chosen when none is listed. The window only
// puts the entries into its control.

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/port_probe.h"
#include "workflow/port_text.h"

namespace qv {

// While the window is idle the list follows the cables at this pace.
inline constexpr std::chrono::milliseconds kPortPollInterval{2000};
// A port's driver is not ready yet when the system announces its arrival.
inline constexpr std::chrono::milliseconds kDeviceArrivalSettle{500};

struct PortEntry {
    // What the entry opens: the device it was listed with, whatever the table's numbers do
    // later.
    std::string device;
    // "/dev/ttyUSB0 - FT232R USB UART (A1B2C3)"; the port's number on Windows.
    std::string text;

    bool operator==(const PortEntry&) const = default;
};

struct PortListView {
    std::vector<PortEntry> entries;
    std::optional<std::size_t> selected;  // nothing when no port is listed
    // Why no port can be chosen; set when no port is listed.
    std::optional<NoPortExplanation> noPort;
};

// What makes a window look at its ports again.
enum class RefreshCause {
    Startup,
    Poll,          // every kPortPollInterval
    ListDropDown,  // the user is about to look at the list
    DeviceChange,  // the system announced a device arriving or leaving
    JobEnded,      // the cables may have changed while the job ran
};

struct RefreshPlan {
    bool refresh = false;
    bool retryUnopened = false;  // probe again the devices that could not be opened
};

// Never while a job runs (its port and the list stay as they are); the poll not while the list
// is dropped down, under the user's eyes; dropping the list down retries the unopened ports.
RefreshPlan PlanRefresh(RefreshCause cause, bool jobRunning, bool listDroppedDown);

// The entry's name: the device path on POSIX, where port numbers mean nothing to the user; the
// port's number on Windows; the adapter, from its USB ids, in a browser.
std::string PortEntryName(const PortInfo& port);

// The entries of the ports listed, selectedDevice kept while it is listed, otherwise the first
// choice with rememberedPort (a stable name) first. The caller explains an empty list.
PortListView ListedPortsView(std::span<const ListedPort> listed, std::string_view selectedDevice,
                             std::string_view rememberedPort);

class PortList {
  public:
    // Lists the port table as it stands now. selectedDevice: the entry selected now, kept while
    // it is listed; otherwise the first choice, with rememberedPort (a stable name) first.
    PortListView Refresh(std::string_view selectedDevice, std::string_view rememberedPort,
                         bool retryUnopened);

  private:
    PortProbe probe_;
};

}  // namespace qv
