// The one loader of string-table texts: whole texts of any length a table holds, nothing for a missing
// one.
#include "model/string_text.h"

#include "output_fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace qvl {
namespace {

TEST(StringText, TextsComeWholeWhateverTheirLength) {
    fakes::FakeStrings strings;
    const std::string lengths[] = {
        "", "Left click", std::string(255, 'a'), std::string(256, 'b'), std::string(1000, 'c'), std::string(4095, 'd')};
    unsigned id = 1;
    for (const std::string& text : lengths)
        strings.texts[id++] = text;
    id = 1;
    for (const std::string& text : lengths)
        EXPECT_EQ(LoadText(strings, id++), text) << "length " << text.size();
    // Beyond what a table holds the text is cut, never read past.
    strings.texts[99] = std::string(5000, 'e');
    EXPECT_EQ(LoadText(strings, 99), std::string(4095, 'e'));
    EXPECT_EQ(LoadText(strings, 100), "");
}

} // namespace
} // namespace qvl
