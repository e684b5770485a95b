#include "frontend/port_probe.h"

namespace qv {

PortProbe::Verdict PortProbe::Probe(const PortInfo& port) {
    Verdict verdict;
    verdict.permissionDenied = port.permissionDenied;
    verdict.missing = port.missing;
    // Opened only to look at it: holding it would keep it from every other program while the
    // window waits; the job opens its port itself.
    link_.SetDevicePath(port.device);
    verdict.opened = link_.SetOpen(true);
    verdict.rs232 = verdict.opened && link_.IsRs232();
    link_.SetOpen(false);
    return verdict;
}

std::vector<ListedPort> PortProbe::Refresh(const std::vector<PortInfo>& table, bool retryUnopened) {
    std::map<std::string, Verdict> verdicts;
    std::vector<ListedPort> listed;
    for (const PortInfo& port : table) {
        const auto known = verdicts_.find(port.device);
        const bool unchanged =
            known != verdicts_.end() && known->second.permissionDenied == port.permissionDenied &&
            known->second.missing == port.missing && (known->second.opened || !retryUnopened);
        const Verdict verdict = unchanged ? known->second : Probe(port);
        verdicts[port.device] = verdict;
        if (verdict.rs232) {
            listed.push_back({port, StablePortName(port.device)});
        }
    }
    verdicts_ = std::move(verdicts);
    return listed;
}

}  // namespace qv
