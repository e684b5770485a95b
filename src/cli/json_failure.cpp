#include "cli/json_failure.h"

#include "cli/console.h"

namespace qv::cli {

JsonValue FailureObject(const std::string& error, int exitCode, const JsonValue& fields) {
    JsonValue object = {{"error", error}, {"exitCode", exitCode}};
    for (const auto& [key, value] : fields.items()) {
        object[key] = value;
    }
    return object;
}

void PrintJsonFailure(const std::string& error, int exitCode, const JsonValue& fields) {
    PrintLine(stdout, JsonLine(FailureObject(error, exitCode, fields)));
}

}  // namespace qv::cli
