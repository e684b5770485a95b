#include "frontend/settings_store.h"

namespace qv {

bool StoredNextRadioChoice(const SettingsStore& store) {
    return store.Value(kNextRadioKey) == "true";
}

void StoreNextRadioChoice(SettingsStore& store, bool automatic) {
    store.SetValue(kNextRadioKey, automatic ? "true" : "false");
}

}  // namespace qv
