// JSON lines of the records: UTF-8 passes, control characters are escaped, and anything that
// is not UTF-8 is replaced, so that no byte can break the line or pass for another character.

#include "workflow/json_line.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(JsonLine, Utf8PassesAndOtherBytesAreReplaced) {
    struct Case {
        const char* what;
        std::string text;
        std::string json;
    };
    const std::string replaced = "\xEF\xBF\xBD";  // U+FFFD
    const Case cases[] = {
        {"plain", "COM5", "\"COM5\""},
        {"two-byte UTF-8", "p\xC3\xB6rt", "\"p\xC3\xB6rt\""},
        {"four-byte UTF-8", "\xF0\x9F\x93\xBB", "\"\xF0\x9F\x93\xBB\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"control characters", "a\nb\x01", "\"a\\nb\\u0001\""},
        {"a stray byte",
         "V\xFF"
         "1",
         "\"V" + replaced + "1\""},
        {"a lone continuation byte", "\x80", "\"" + replaced + "\""},
        {"a cut sequence", "\xC3", "\"" + replaced + "\""},
        {"an overlong slash", "\xC0\xAF", "\"" + replaced + replaced + "\""},
        {"a surrogate", "\xED\xA0\x80", "\"" + replaced + replaced + replaced + "\""},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80",
         "\"" + replaced + replaced + replaced + replaced + "\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonLine(JsonValue(c.text)), c.json) << c.what;
    }
}

TEST(JsonLine, ObjectsKeepTheirKeysInOrderOnOneLine) {
    JsonValue object = {{"time", "2026-12-10T00:16:04Z"}, {"port", "COM5"}, {"model", nullptr}};
    object["exitCode"] = 0;
    object["steps"] = JsonValue::array({JsonValue{{"name", "OpenPort"}, {"succeeded", true}}});
    EXPECT_EQ(JsonLine(object),
              "{\"time\":\"2026-12-10T00:16:04Z\",\"port\":\"COM5\",\"model\":null,\"exitCode\":0,"
              "\"steps\":[{\"name\":\"OpenPort\",\"succeeded\":true}]}");
}

}  // namespace
}  // namespace qv
