#pragma once
// The write job that runs when Write is pressed: fourteen steps from opening the port to
// closing it, ending with one message.

#include <array>
#include <cstdint>
#include <string>

#include "image/hex_record.h"
#include "protocol/radio_link.h"
#include "workflow/job_host.h"
#include "workflow/updater_settings.h"

namespace qv {

inline constexpr std::int32_t StatusPortOpenFailed = static_cast<std::int32_t>(0xFFFF0001u);
inline constexpr std::int32_t StatusPortCloseFailed = static_cast<std::int32_t>(0xFFFF0002u);
inline constexpr std::int32_t StatusModelMismatch = static_cast<std::int32_t>(0xFFFF0006u);
inline constexpr std::int32_t StatusExchangeFailed = static_cast<std::int32_t>(0xFFFF0007u);
inline constexpr std::int32_t StatusCancelled = static_cast<std::int32_t>(0xFFFF0010u);

struct WriteJobInput {
    const RecordList* region1Blocks = nullptr;
    std::array<std::uint8_t, 8> versionLabel{};
    UpdaterSettings settings;
};

struct WriteJobOutcome {
    bool succeeded = false;
    std::int32_t status = 0;
    std::string closingMessage;  // the text of the last box, empty after a cancel
};

// Runs the whole job on the caller's thread (the workers on their own), as OnWrite does.
WriteJobOutcome RunWriteJob(RadioLink& link, JobHost& host, const WriteJobInput& input);

}  // namespace qv
