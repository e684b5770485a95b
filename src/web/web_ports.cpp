#include "web/web_ports.h"

#include "frontend/port_choice.h"
#include "serial/port_table.h"

namespace qv::web {

PortListView WebPorts::Refresh(std::string_view selectedDevice, std::string_view rememberedPort,
                               bool /*retryUnopened*/) {
    std::vector<ListedPort> listed;
    for (PortInfo& port : ListPorts()) {
        std::string stable = StablePortName(port.device);
        listed.push_back({std::move(port), std::move(stable)});
    }
    PortListView view = ListedPortsView(listed, selectedDevice, rememberedPort);
    if (listed.empty()) {
        view.noPort = NoPortExplanation{
            "No port chosen yet",
            "No port chosen yet: the browser lets the page use a serial port only once you "
            "choose it"};
    }
    return view;
}

}  // namespace qv::web
