#include "workflow/json_line.h"

namespace qv {

std::string JsonLine(const JsonValue& value) {
    return value.dump(-1, ' ', false, JsonValue::error_handler_t::replace);
}

}  // namespace qv
