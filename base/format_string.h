// "%1"-style formatting of user-visible texts: a pattern from a string table with numbered
// placeholders that the caller fills in, so translated texts may put the parts in any order.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace qvl {

// Replace "%1" to "%9" in `pattern` with the matching entry of `arguments` (the first entry is %1).
// A placeholder without an argument stays as written, so a missing argument shows in the text instead
// of vanishing; "%%" stands for one "%"; any other "%" is copied as it is.
std::string FormatString(std::string_view pattern, std::initializer_list<std::string_view> arguments);

} // namespace qvl
