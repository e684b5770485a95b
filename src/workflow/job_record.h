#pragma once
// What one radio's job leaves behind: its outcome as a code and a message, and the JSON line of
// a record (qv-flash --record and --json, the window's service log): time, port, model,
// versions, checksum, result, duration.

#include <filesystem>
#include <string>

#include "workflow/json_line.h"
#include "workflow/write_job.h"

namespace qv {

// 0 written, 1 connection, 4 port, 5 model, 6 cancelled (outcome_codes.h).
int OutcomeCode(const WriteJobOutcome& outcome);

// The application's message for the outcome (after a cancel: "Operation has been canceled").
std::string OutcomeMessage(const WriteJobOutcome& outcome);

// In one word, for records and counts: "updated", "cancelled", "refused" (another model),
// "interrupted" (half written) or "failed".
std::string OutcomeName(const WriteJobOutcome& outcome);

// The identification's model code, bytes 0..15, as hex without spaces.
std::string ModelCodeHex(const WriteJobOutcome& outcome);

// The radio's record line; withSteps adds every step with its result and duration.
std::string JobRecordJson(const std::string& port, const WriteJobOutcome& outcome, int outcomeCode,
                          bool withSteps);
// The same record as a JSON object, for outputs that gather several radios.
JsonValue JobRecordObject(const std::string& port, const WriteJobOutcome& outcome, int outcomeCode,
                          bool withSteps);

// "2026-12-10T00:16:04Z"
std::string UtcTimestamp();

// Appends one line to the file; false when it cannot be written. Safe from several threads.
bool AppendLine(const std::filesystem::path& path, const std::string& line);

}  // namespace qv
