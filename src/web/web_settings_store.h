#pragma once
// The window's remembered settings in a browser: kept by the page's worker in IndexedDB, read
// from the copy it loaded before the core started.

#include "frontend/settings_store.h"

namespace qv::web {

class WebSettingsStore : public SettingsStore {
  public:
    std::optional<std::string> Value(std::string_view key) const override;
    void SetValue(std::string_view key, const std::string& value) override;
};

}  // namespace qv::web
