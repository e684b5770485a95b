#pragma once
// The presenter's ports in a browser: the ports this site has been granted, and the practice
// radio once the page offers it. A granted port is not probed: the technician chose it in the
// browser's own chooser, and opening it only to look would reset some adapters' lines.

#include "frontend/updater_presenter.h"

namespace qv::web {

class WebPorts final : public PortSource {
  public:
    PortListView Refresh(std::string_view selectedDevice, std::string_view rememberedPort,
                         bool retryUnopened) override;
};

}  // namespace qv::web
