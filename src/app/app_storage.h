#pragma once
// Where the Qt window keeps things between runs: the user's settings through QSettings
// (~/.config/qv-updater/qv-updater.conf on Linux, the registry on Windows), and the service
// log in the application's data folder.

#include <filesystem>

#include "frontend/settings_store.h"

namespace qv {

class QtSettingsStore final : public SettingsStore {
  public:
    std::optional<std::string> Value(std::string_view key) const override;
    void SetValue(std::string_view key, const std::string& value) override;
};

// <the application's data folder>/jobs.jsonl; empty when the system has no such folder.
std::filesystem::path ServiceLogPath();

}  // namespace qv
