// A text of a program's string table as a string: the one way the portable code reads one, in the
// editor (captions, the overview's names) and in the driver (the question about a missing click window).
#pragma once

#include "model/keyset_record.h"

#include <string>

namespace qvl {

// The whole text of string `id` of `strings` (a string table holds at most 4095 characters a text);
// empty when the table has none.
std::string LoadText(const StringSource& strings, unsigned id);

} // namespace qvl
