// The system's own words for an error code, as FormatMessage gives them.
#pragma once

#include <string>

namespace qvl {

// The system's text for an error code (English, lines wrapped at 80 characters); empty when the
// system has none.
std::string SystemErrorText(unsigned long code);

// The same text to go inside a sentence of ours: on one line, without its final full stop; empty
// when the system has none.
std::string SystemErrorPhrase(unsigned long code);

} // namespace qvl
