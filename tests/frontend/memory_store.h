#pragma once
// The user's settings in memory, for tests of what a window keeps between runs.

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "frontend/settings_store.h"

namespace qv::test {

struct MemoryStore final : SettingsStore {
    std::map<std::string, std::string, std::less<>> values;
    std::optional<std::string> Value(std::string_view key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void SetValue(std::string_view key, const std::string& value) override {
        values[std::string(key)] = value;
    }
};

}  // namespace qv::test
