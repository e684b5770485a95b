// JSON strings of the records: UTF-8 passes as it is, anything else is escaped visibly.

#include <gtest/gtest.h>

#include "workflow/json_text.h"

namespace qv {
namespace {

TEST(JsonText, Utf8PassesAndOtherBytesAreEscaped) {
    struct Case {
        const char* what;
        std::string text;
        std::string json;
    };
    const Case cases[] = {
        {"plain", "COM5", "\"COM5\""},
        {"two-byte UTF-8", "p\xC3\xB6rt", "\"p\xC3\xB6rt\""},
        {"four-byte UTF-8", "\xF0\x9F\x93\xBB", "\"\xF0\x9F\x93\xBB\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"control characters", "a\nb\x01\x7F", "\"a\\nb\\u0001\\u007f\""},
        {"a stray byte",
         "V\xFF"
         "1",
         "\"V\\\\xFF1\""},
        {"a lone continuation byte", "\x80", "\"\\\\x80\""},
        {"a cut sequence", "\xC3", "\"\\\\xC3\""},
        {"an overlong slash", "\xC0\xAF", "\"\\\\xC0\\\\xAF\""},
        {"a surrogate", "\xED\xA0\x80", "\"\\\\xED\\\\xA0\\\\x80\""},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\"\\\\xF4\\\\x90\\\\x80\\\\x80\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonString(c.text), c.json) << c.what;
    }
}

}  // namespace
}  // namespace qv
