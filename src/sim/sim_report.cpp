// The simulator's report as JSON, for --report.

#include "sim/sim_report.h"

#include <cstdio>

namespace qv {

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

std::string Milliseconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string DeviationsJson(const std::vector<SimDeviation>& deviations) {
    std::string out = "[";
    for (std::size_t i = 0; i < deviations.size(); ++i) {
        const SimDeviation& d = deviations[i];
        out += i == 0 ? "\n    " : ",\n    ";
        out += "{\"job\": " + std::to_string(d.job) + ", \"state\": " + Quoted(d.state) +
               ", \"message\": " + Quoted(d.message) + "}";
    }
    return out + (deviations.empty() ? "]" : "\n  ]");
}

std::string JobLogJson(const std::vector<SimJobRecord>& jobs) {
    std::string out = "[";
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const SimJobRecord& j = jobs[i];
        out += i == 0 ? "\n    " : ",\n    ";
        out += "{\"radio\": " + std::to_string(j.radio) + ", \"masked\": " + Bool(j.masked) +
               ", \"highSpeed\": " + Bool(j.highSpeed) + ", \"transfer\": " + Quoted(j.transfer) +
               ", \"blocks\": " + std::to_string(j.blocks) +
               ", \"checksumAcked\": " + Bool(j.checksumAcked) + ", \"end\": " + Quoted(j.end) +
               ", \"shortestProgrammingGapMs\": " + Milliseconds(j.shortestProgrammingGapMs) + "}";
    }
    return out + (jobs.empty() ? "]" : "\n  ]");
}

}  // namespace

std::string SimReportToJson(const SimReport& report) {
    std::string out = "{\n";
    out += "  \"jobs\": " + std::to_string(report.jobs) + ",\n";
    out += "  \"frames\": " + std::to_string(report.frames) + ",\n";
    out += "  \"bytes\": " + std::to_string(report.bytes) + ",\n";
    out += "  \"resynchronisations\": " + std::to_string(report.resynchronisations) + ",\n";
    out += "  \"garbledBytes\": " + std::to_string(report.garbledBytes) + ",\n";
    out += "  \"highSpeedJobs\": " + std::to_string(report.highSpeedJobs) + ",\n";
    out += "  \"highSpeedUsed\": " + Bool(report.highSpeedJobs > 0) + ",\n";
    out += "  \"probesAnswered\": " + std::to_string(report.probesAnswered) + ",\n";
    out += "  \"adapterLatencyMs\": " + std::to_string(report.adapterLatencyMs) + ",\n";
    out += "  \"repliesHeld\": " + std::to_string(report.repliesHeld) + ",\n";
    out += "  \"repliesHeldLowLatency\": " + std::to_string(report.repliesHeldLowLatency) + ",\n";
    out += "  \"deviations\": " + DeviationsJson(report.deviations) + ",\n";
    out += "  \"jobLog\": " + JobLogJson(report.jobLog) + "\n";
    return out + "}\n";
}

}  // namespace qv
