#pragma once
// What the window keeps in a browser: its remembered settings and the service log, both in the
// site's IndexedDB, kept by the worker (site/service_log.js). The settings are read from the
// copy the worker loaded before the core started and written through.

#include <string>

#include "frontend/job_log.h"
#include "frontend/settings_store.h"

namespace qv::web {

class BrowserSettings final : public SettingsStore {
  public:
    std::optional<std::string> Value(std::string_view key) const override;
    void SetValue(std::string_view key, const std::string& value) override;
};

// A line is stored whole or not at all: one entry in one transaction, counted once the
// browser has committed it.
class BrowserServiceLog final : public ServiceLog {
  public:
    bool Append(const std::string& line, std::string& failure) override;
};

}  // namespace qv::web
