#include "workflow/job_record.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>

#include "workflow/job_messages.h"
#include "workflow/json_line.h"
#include "workflow/outcome_codes.h"

namespace qv {

namespace {

std::string HexText(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

}  // namespace

int OutcomeCode(const WriteJobOutcome& outcome) {
    if (outcome.succeeded) {
        return kExitSuccess;
    }
    switch (outcome.status) {
        case StatusCancelled:
            return kExitCancelled;
        case StatusPortOpenFailed:
            return kExitPortNotOpened;
        case StatusModelMismatch:
            return kExitModelMismatch;
        default:
            return kExitConnection;
    }
}

std::string OutcomeMessage(const WriteJobOutcome& outcome) {
    if (outcome.status == StatusCancelled) {
        return kCancelledMessage;
    }
    return outcome.closingMessage;
}

std::string OutcomeName(const WriteJobOutcome& outcome) {
    if (outcome.succeeded) {
        return "updated";
    }
    if (outcome.interrupted) {
        return "interrupted";
    }
    switch (outcome.status) {
        case StatusCancelled:
            return "cancelled";
        case StatusModelMismatch:
            return "refused";
        default:
            return "failed";
    }
}

std::string ModelCodeHex(const WriteJobOutcome& outcome) {
    return HexText(outcome.modelCode);
}

namespace {

JsonValue StepsJson(const WriteJobOutcome& outcome) {
    JsonValue steps = JsonValue::array();
    for (const StepReport& step : outcome.steps) {
        steps.push_back({{"name", StepName(step.step)},
                         {"succeeded", step.succeeded},
                         {"durationMs", step.duration.count()}});
    }
    return steps;
}

// The text, or null when the job did not learn it.
JsonValue TextOrNull(bool known, const std::string& text) {
    return known ? JsonValue(text) : JsonValue(nullptr);
}

}  // namespace

JsonValue JobRecordObject(const std::string& port, const WriteJobOutcome& outcome, int outcomeCode,
                          bool withSteps) {
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "0x%04X", outcome.checksum);
    JsonValue record = {
        {"time", UtcTimestamp()},
        {"port", port},
        {"model", TextOrNull(outcome.identified, ModelCodeHex(outcome))},
        {"identification", TextOrNull(outcome.identified, HexText(outcome.identification))},
        {"oldVersion", TextOrNull(outcome.versionRead, outcome.radioVersionText)},
        {"newVersion", outcome.newVersionText},
        {"checksum", TextOrNull(outcome.checksumSent, checksum)},
        {"outcome", OutcomeName(outcome)},
        {"result", OutcomeMessage(outcome)},
        {"exitCode", outcomeCode},
        {"blocksSent", outcome.blocksSent},
        {"highSpeed", outcome.highSpeedConfirmed},
        {"durationMs", outcome.duration.count()},
    };
    if (withSteps) {
        record["steps"] = StepsJson(outcome);
    }
    return record;
}

std::string JobRecordJson(const std::string& port, const WriteJobOutcome& outcome, int outcomeCode,
                          bool withSteps) {
    return JsonLine(JobRecordObject(port, outcome, outcomeCode, withSteps));
}

std::string UtcTimestamp() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

bool AppendLine(const std::filesystem::path& path, const std::string& line) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::ofstream file(path, std::ios::app | std::ios::binary);
    file << line << '\n';
    file.flush();
    return static_cast<bool>(file);
}

}  // namespace qv
