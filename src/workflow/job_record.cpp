#include "workflow/job_record.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>

#include "workflow/job_messages.h"
#include "workflow/json_text.h"
#include "workflow/outcome_codes.h"

namespace qv {

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
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t byte : outcome.modelCode) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

namespace {

std::string StepsJson(const WriteJobOutcome& outcome) {
    std::string text = "[";
    for (const StepReport& step : outcome.steps) {
        if (text.size() > 1) {
            text += ",";
        }
        text += JsonObject()
                    .Add("name", step.name)
                    .Add("succeeded", step.succeeded)
                    .Add("durationMs", static_cast<std::int64_t>(step.duration.count()))
                    .Text();
    }
    return text + "]";
}

}  // namespace

std::string JobRecordJson(const std::string& port, const WriteJobOutcome& outcome, int outcomeCode,
                          bool withSteps) {
    std::optional<std::string> model;
    std::optional<std::string> oldVersion;
    std::optional<std::string> checksum;
    if (outcome.identified) {
        model = ModelCodeHex(outcome);
    }
    if (outcome.versionRead) {
        oldVersion = outcome.radioVersionText;
    }
    if (outcome.checksumSent) {
        char text[8];
        std::snprintf(text, sizeof text, "0x%04X", outcome.checksum);
        checksum = text;
    }
    JsonObject object;
    object.Add("time", UtcTimestamp())
        .Add("port", port)
        .Add("model", model)
        .Add("oldVersion", oldVersion)
        .Add("newVersion", outcome.newVersionText)
        .Add("checksum", checksum)
        .Add("outcome", OutcomeName(outcome))
        .Add("result", OutcomeMessage(outcome))
        .Add("exitCode", static_cast<std::int64_t>(outcomeCode))
        .Add("blocksSent", static_cast<std::int64_t>(outcome.blocksSent))
        .Add("highSpeed", outcome.highSpeedConfirmed)
        .Add("durationMs", static_cast<std::int64_t>(outcome.duration.count()));
    if (withSteps) {
        object.AddRaw("steps", StepsJson(outcome));
    }
    return object.Text();
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

bool AppendLine(const std::string& path, const std::string& line) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::ofstream file(path, std::ios::app | std::ios::binary);
    file << line << '\n';
    file.flush();
    return static_cast<bool>(file);
}

}  // namespace qv
