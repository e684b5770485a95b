#pragma once
// Where the Windows window keeps things between runs: the user's settings in the registry
// (HKEY_CURRENT_USER\Software\qv-updater), and the service log in the user's local data folder
// (%LOCALAPPDATA%\qv-updater\jobs.jsonl).

#include <filesystem>
#include <string>

#include "frontend/settings_store.h"

namespace qv {

inline constexpr const wchar_t* kSettingsKey = L"Software\\qv-updater";

class RegistrySettingsStore final : public SettingsStore {
  public:
    // subKey: under HKEY_CURRENT_USER.
    explicit RegistrySettingsStore(std::wstring subKey = kSettingsKey);
    std::optional<std::string> Value(std::string_view key) const override;
    void SetValue(std::string_view key, const std::string& value) override;

  private:
    std::wstring subKey_;
};

// <local application data>\qv-updater\jobs.jsonl; empty when the system names no such folder.
std::filesystem::path ServiceLogPath();

}  // namespace qv
