#pragma once
// Under --json a script reads stdout, so every failure after the command line was parsed is
// one JSON object there: {"error": "...", "exitCode": N} and the fields known, such as the
// port or the record. Only the parser's own usage errors stay text on stderr.

#include <string>

#include "workflow/json_line.h"

namespace qv::cli {

// fields: an object whose keys follow error and exitCode.
JsonValue FailureObject(const std::string& error, int exitCode,
                        const JsonValue& fields = JsonValue::object());

// The object on stdout, on one line.
void PrintJsonFailure(const std::string& error, int exitCode,
                      const JsonValue& fields = JsonValue::object());

}  // namespace qv::cli
