#include "base/format_string.h"

#include <gtest/gtest.h>

namespace qvl::framework {
namespace {

struct FormatCase {
    const char* pattern;
    const char* expected;
};

TEST(FormatString, FillsNumberedPlaceholders) {
    const FormatCase cases[] = {
        {"Could not open %1.", "Could not open COM2."},
        {"%2 before %1", "second before COM2"},
        {"%1%1", "COM2COM2"},
        {"no placeholders", "no placeholders"},
        {"", ""},
        {"100%% sure of %1", "100% sure of COM2"},
        {"a lone % stays", "a lone % stays"},
        {"trailing %", "trailing %"},
        {"%0 and %x are not placeholders", "%0 and %x are not placeholders"},
        {"%3 has no argument", "%3 has no argument"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(FormatString(c.pattern, {"COM2", "second"}), c.expected) << c.pattern;
}

TEST(FormatString, AnArgumentIsNotScannedAgain) {
    EXPECT_EQ(FormatString("[%1] [%2]", {"%2", "x"}), "[%2] [x]");
}

TEST(FormatString, NinthArgumentIsTheLast) {
    EXPECT_EQ(FormatString("%9%1", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}), "91");
}

} // namespace
} // namespace qvl::framework
