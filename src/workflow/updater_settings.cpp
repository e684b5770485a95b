#include "workflow/updater_settings.h"

#include <algorithm>
#include <cctype>

namespace qv {

bool IsDesignerWord(std::string_view word) {
    return std::equal(word.begin(), word.end(), kDesignerWord.begin(), kDesignerWord.end(),
                      [](char given, char expected) {
                          return std::tolower(static_cast<unsigned char>(given)) == expected;
                      });
}

bool IsRoundsChoice(int rounds) {
    return std::find(kRoundsChoices.begin(), kRoundsChoices.end(), rounds) != kRoundsChoices.end();
}

}  // namespace qv
