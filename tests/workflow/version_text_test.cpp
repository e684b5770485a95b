// Version texts as the radio and the image give them: cut at a NUL or after 8 characters.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "workflow/version_text.h"

namespace qv {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(VersionText, CutAtNulOrEightCharacters) {
    struct Case {
        Bytes bytes;
        const char* radio;
    };
    const Case cases[] = {
        {Bytes{'S', 'I', 'M', 0x00, 'X'}, "SIM"},
        {Bytes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'}, "ABCDEFGH"},
        {Bytes(16, 0x00), ""},
        {Bytes(16, 0xFF), "No Data"},
        {Bytes{'V', 0xFF, '1'},
         "V\xFF"
         "1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RadioVersionText(c.bytes), c.radio);
    }
    EXPECT_EQ(VersionText(Bytes(16, 0xFF)), std::string(8, '\xFF'));
}

}  // namespace
}  // namespace qv
