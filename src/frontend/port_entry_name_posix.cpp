#include "frontend/port_list.h"

namespace qv {

std::string PortEntryName(const PortInfo& port) {
    return port.device;
}

}  // namespace qv
