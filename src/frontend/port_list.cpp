#include "frontend/port_list.h"

#include <algorithm>

#include "serial/port_table.h"
#include "serial/usb_devices.h"

namespace qv {

RefreshPlan PlanRefresh(RefreshCause cause, bool jobRunning, bool listDroppedDown) {
    if (jobRunning) {
        return {};
    }
    switch (cause) {
        case RefreshCause::Poll:
            return {!listDroppedDown, false};
        case RefreshCause::ListDropDown:
            return {true, true};
        default:
            return {true, false};
    }
}

PortListView ListedPortsView(std::span<const ListedPort> listed, std::string_view selectedDevice,
                             std::string_view rememberedPort) {
    PortListView view;
    for (const ListedPort& port : listed) {
        view.entries.push_back({port.info.device, PortLabel(PortEntryName(port.info), port.info)});
    }
    const auto kept = std::find_if(
        view.entries.begin(), view.entries.end(),
        [selectedDevice](const PortEntry& entry) { return entry.device == selectedDevice; });
    if (kept != view.entries.end()) {
        view.selected = static_cast<std::size_t>(kept - view.entries.begin());
    } else {
        view.selected = FirstChoice(listed, rememberedPort);
    }
    return view;
}

PortListView PortList::Refresh(std::string_view selectedDevice, std::string_view rememberedPort,
                               bool retryUnopened) {
    const std::vector<PortInfo> table = ListPorts();
    const std::vector<ListedPort> listed = probe_.Refresh(table, retryUnopened);
    PortListView view = ListedPortsView(listed, selectedDevice, rememberedPort);
    if (listed.empty()) {
        view.noPort = ExplainNoPort(table, ListUsbDevices());
    }
    return view;
}

}  // namespace qv
