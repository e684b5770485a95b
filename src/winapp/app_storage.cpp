#include "winapp/app_storage.h"

#include "winapp/windows_header.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

#include "winapp/wide_text.h"

namespace qv {

RegistrySettingsStore::RegistrySettingsStore(std::wstring subKey) : subKey_(std::move(subKey)) {}

std::optional<std::string> RegistrySettingsStore::Value(std::string_view key) const {
    const std::wstring name = Wide(key);
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     nullptr, &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     text.data(), &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return Utf8(text.data());
}

// A setting that cannot be stored is lost for the next run only: the window goes on.
void RegistrySettingsStore::SetValue(std::string_view key, const std::string& value) {
    HKEY settings = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &settings, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const std::wstring text = Wide(value);
    RegSetValueExW(settings, Wide(key).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(settings);
}

std::filesystem::path ServiceLogPath() {
    PWSTR folder = nullptr;
    std::filesystem::path path;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK) {
        path = std::filesystem::path(folder) / L"qv-updater" / L"jobs.jsonl";
    }
    CoTaskMemFree(folder);
    return path;
}

}  // namespace qv
