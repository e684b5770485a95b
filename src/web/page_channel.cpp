#include "web/page_channel.h"

#include <emscripten.h>

#include <cstdlib>
#include <string>

// clang-format off
EM_JS(void, qv_web_post, (const char* json), {
    Module.qvPost(JSON.parse(UTF8ToString(json)));
});
EM_JS(void, qv_web_post_progress, (int position, int high), {
    Module.qvPost({op: 'progress', position: position, high: high});
});
EM_JS(void, qv_web_post_status, (const char* text), {
    Module.qvPost({op: 'status', text: UTF8ToString(text)});
});
// The answer as JSON text in memory of malloc's, for the caller to free.
EM_ASYNC_JS(char*, qv_web_ask, (const char* json), {
    const answer = JSON.stringify(await Module.qvAsk(JSON.parse(UTF8ToString(json))));
    const size = lengthBytesUTF8(answer) + 1;
    const text = _malloc(size);
    stringToUTF8(answer, text, size);
    return text;
});
// clang-format on

namespace qv::web {

void PostToPage(const JsonValue& message) {
    qv_web_post(JsonLine(message).c_str());
}

void PostProgress(int position, int high) {
    qv_web_post_progress(position, high);
}

void PostStatus(const std::string& text) {
    qv_web_post_status(text.c_str());
}

JsonValue AskPage(const JsonValue& question) {
    char* text = qv_web_ask(JsonLine(question).c_str());
    const std::string answer = text != nullptr ? text : "null";
    std::free(text);
    return JsonValue::parse(answer, nullptr, false);
}

}  // namespace qv::web
