#pragma once
// What a window keeps in the user's settings between runs, through the toolkit's own store
// (QSettings for the Qt window, the registry for the Windows one), under these keys.

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The stable name (StablePortName) of the radio's port at the last successful update.
inline constexpr std::string_view kRadioPortKey = "radioPort";
// "Update the next radio automatically": "true" or "false".
inline constexpr std::string_view kNextRadioKey = "updateNextRadioAutomatically";

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The text stored under key; nothing when none is.
    virtual std::optional<std::string> Value(std::string_view key) const = 0;
    virtual void SetValue(std::string_view key, const std::string& value) = 0;
};

// Whether the window goes on to the next radio after a successful update; off until chosen.
bool StoredNextRadioChoice(const SettingsStore& store);
void StoreNextRadioChoice(SettingsStore& store, bool automatic);

}  // namespace qv
