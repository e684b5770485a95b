#include "cli/radio_report.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>

#include "cli/exit_codes.h"
#include "cli/json_text.h"
#include "cli/traffic_trace.h"
#include "workflow/job_messages.h"

namespace qv::cli {

int ExitCodeFor(const WriteJobOutcome& outcome) {
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

int WorstExitCode(const std::vector<int>& codes) {
    static constexpr int kRanking[] = {kExitSuccess,       kExitCancelled,     kExitPortNotOpened,
                                       kExitModelMismatch, kExitImageNotValid, kExitUsage,
                                       kExitConnection};
    auto rank = [](int code) {
        const auto* found = std::find(std::begin(kRanking), std::end(kRanking), code);
        return found - std::begin(kRanking);
    };
    int worst = kExitSuccess;
    for (const int code : codes) {
        if (rank(code) > rank(worst)) {
            worst = code;
        }
    }
    return worst;
}

std::string OutcomeMessage(const WriteJobOutcome& outcome) {
    if (outcome.status == StatusCancelled) {
        return kCancelledMessage;
    }
    return outcome.closingMessage;
}

bool LinkUpFailed(const WriteJobOutcome& outcome) {
    return !outcome.steps.empty() && outcome.steps.back().name == "LinkUp" &&
           !outcome.steps.back().succeeded;
}

std::string DescribeLinkUp(const std::vector<LinkUpAttempt>& attempts) {
    // The link-up tries every speed unless a probe cannot be written.
    if (attempts.size() < static_cast<std::size_t>(kLinkUpAttempts)) {
        const std::string speed =
            attempts.empty() ? std::string("the first") : attempts.back().speed;
        return "Link-up: the probe could not be sent at " + speed + " baud.";
    }
    std::vector<std::string> heard;
    for (const LinkUpAttempt& attempt : attempts) {
        if (attempt.synSeen && !attempt.ackSeen) {
            heard.push_back("SYN at " + attempt.speed + " baud but no ACK at 19200 baud");
        } else if (attempt.otherBytes > 0) {
            heard.push_back(std::to_string(attempt.otherBytes) + " byte(s) at " + attempt.speed +
                            " baud that were neither SYN nor ACK");
        }
    }
    if (heard.empty()) {
        std::string speeds;
        for (const LinkUpAttempt& attempt : attempts) {
            speeds += (speeds.empty() ? "" : ", ") + attempt.speed;
        }
        return "Link-up: heard nothing at any speed (" + speeds + " baud).";
    }
    std::string text = "Link-up: heard ";
    for (std::size_t i = 0; i < heard.size(); ++i) {
        text += (i == 0 ? "" : "; ") + heard[i];
    }
    return text + ".";
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

std::string RadioJson(const std::string& port, const WriteJobOutcome& outcome, int exitCode,
                      bool withSteps) {
    std::optional<std::string> model;
    std::optional<std::string> oldVersion;
    std::optional<std::string> checksum;
    if (outcome.identified) {
        model = HexBytes(outcome.modelCode);
        model->erase(std::remove(model->begin(), model->end(), ' '), model->end());
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
        .Add("result", OutcomeMessage(outcome))
        .Add("exitCode", static_cast<std::int64_t>(exitCode))
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

}  // namespace qv::cli
