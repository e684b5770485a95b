#include "web/web_ports.h"

#include <algorithm>

#include "frontend/port_choice.h"
#include "serial/port_table.h"
#include "workflow/port_text.h"

namespace qv::web {

PortListView WebPorts::Refresh(std::string_view selectedDevice, std::string_view rememberedPort,
                               bool /*retryUnopened*/) {
    std::vector<ListedPort> listed;
    for (PortInfo& port : ListPorts()) {
        std::string stable = StablePortName(port.device);
        listed.push_back({std::move(port), std::move(stable)});
    }
    PortListView view;
    for (const ListedPort& port : listed) {
        view.entries.push_back({port.info.device, PortLabel(PortEntryName(port.info), port.info)});
    }
    const auto kept = std::find_if(
        view.entries.begin(), view.entries.end(),
        [selectedDevice](const PortEntry& entry) { return entry.device == selectedDevice; });
    view.selected = kept != view.entries.end()
                        ? std::optional(static_cast<std::size_t>(kept - view.entries.begin()))
                        : FirstChoice(listed, rememberedPort);
    if (listed.empty()) {
        view.noPort = NoPortExplanation{
            "No port chosen yet",
            "No port chosen yet: the browser lets the page use a serial port only once you "
            "choose it"};
    }
    return view;
}

}  // namespace qv::web
