#include "web/page_channel.h"

#include <emscripten.h>

#include <cstdlib>

// clang-format off
EM_JS(void, qv_web_post, (const char* json), {
    Module.qvPost(JSON.parse(UTF8ToString(json)));
});
// The answer as JSON text in memory of malloc's, for the caller to free.
EM_ASYNC_JS(char*, qv_web_ask, (const char* json), {
    const answer = JSON.stringify(await Module.qvAsk(JSON.parse(UTF8ToString(json))));
    const size = lengthBytesUTF8(answer) + 1;
    const text = _malloc(size);
    stringToUTF8(answer, text, size);
    return text;
});
// Empty when the line is stored, else the browser's reason, in memory of malloc's.
EM_ASYNC_JS(char*, qv_web_log_append, (const char* line), {
    const reason = await Module.qvServiceLog.append(UTF8ToString(line));
    const size = lengthBytesUTF8(reason) + 1;
    const text = _malloc(size);
    stringToUTF8(reason, text, size);
    return text;
});
// clang-format on

namespace qv::web {
namespace {

std::string TakeText(char* text) {
    std::string taken = text != nullptr ? text : "";
    std::free(text);
    return taken;
}

}  // namespace

void PostToPage(const JsonValue& message) {
    qv_web_post(JsonLine(message).c_str());
}

JsonValue AskPage(const JsonValue& question) {
    return JsonValue::parse(TakeText(qv_web_ask(JsonLine(question).c_str())), nullptr, false);
}

bool AppendServiceLogLine(const std::string& line, std::string& reason) {
    reason = TakeText(qv_web_log_append(line.c_str()));
    return reason.empty();
}

}  // namespace qv::web
