// Names of the simulator's faults as the command line and the tests write them.

#include "sim/sim_faults.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "protocol/protocol_constants.h"

namespace qv {

namespace {

enum class FaultValue { None, Required, Optional };

struct FaultName {
    std::string_view name;
    SimFaultKind kind;
    FaultValue value;
};

constexpr std::array<FaultName, 8> kFaultNames = {{
    {"silent-linkup", SimFaultKind::SilentLinkup, FaultValue::None},
    {"wrong-model", SimFaultKind::WrongModel, FaultValue::Optional},
    {"nak-block", SimFaultKind::NakBlock, FaultValue::Required},
    {"hangup-block", SimFaultKind::HangupBlock, FaultValue::Required},
    {"bad-checksum", SimFaultKind::BadChecksum, FaultValue::None},
    {"silent-after", SimFaultKind::SilentAfter, FaultValue::Required},
    {"garbage-before-reply", SimFaultKind::GarbageBeforeReply, FaultValue::None},
    {"late-area", SimFaultKind::LateArea, FaultValue::None},
}};

struct CommandName {
    std::string_view name;
    std::uint8_t byte;
};

constexpr std::array<CommandName, 12> kCommandNames = {{
    {"ack", kAck},
    {"identify", kCmdIdentify},
    {"high-speed", kCmdHighSpeed},
    {"speed-change", kCmdSpeedChange},
    {"aux-version", kCmdAuxVersion},
    {"end", kCmdEnd},
    {"version", kCmdVersion},
    {"area", kCmdArea},
    {"streamed-block", kCmdStreamedBlock},
    {"acknowledged-block", kCmdAcknowledgedBlock},
    {"5b", kCmd5B},
    {"checksum", kCmdChecksum},
}};

std::optional<int> ParseNumber(std::string_view text, int base) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value, base);
    if (error != std::errc() || ptr != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseCommandByte(std::string_view text) {
    for (const CommandName& command : kCommandNames) {
        if (text == command.name) {
            return command.byte;
        }
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::optional<int> value = ParseNumber(text.substr(2), 16);
        if (value && *value >= 0 && *value <= 0xFF) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<SimFault> ParseSimFault(std::string_view text) {
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    for (const FaultName& entry : kFaultNames) {
        if (entry.name != name) {
            continue;
        }
        const bool valueGiven = equals != std::string_view::npos;
        if ((entry.value == FaultValue::None && valueGiven) ||
            (entry.value == FaultValue::Required && !valueGiven)) {
            return std::nullopt;
        }
        SimFault fault{entry.kind, 0};
        if (!valueGiven) {
            return fault;
        }
        const std::string_view argument = text.substr(equals + 1);
        std::optional<int> value = entry.kind == SimFaultKind::SilentAfter
                                       ? ParseCommandByte(argument)
                                       : ParseNumber(argument, 10);
        if (!value || *value < 0) {
            return std::nullopt;
        }
        fault.value = *value;
        return fault;
    }
    return std::nullopt;
}

std::string SimFaultName(const SimFault& fault) {
    for (const FaultName& entry : kFaultNames) {
        if (entry.kind != fault.kind) {
            continue;
        }
        std::string name(entry.name);
        if (entry.kind == SimFaultKind::SilentAfter) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "=0x%02X", fault.value);
            name += hex;
        } else if (entry.value == FaultValue::Required ||
                   (entry.value == FaultValue::Optional && fault.value != 0)) {
            name += "=" + std::to_string(fault.value);
        }
        return name;
    }
    return "?";
}

const SimFault* FindSimFault(const std::vector<SimFault>& faults, SimFaultKind kind) {
    for (const SimFault& fault : faults) {
        if (fault.kind == kind) {
            return &fault;
        }
    }
    return nullptr;
}

}  // namespace qv
