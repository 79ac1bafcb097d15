// A code page for the tests of the process list, where no system one is at hand.
#pragma once

#include "driver/output/process_list_names.h"

namespace qvl::fakes {

// The code page where no system one is at hand: ASCII is kept, every other character (a surrogate
// pair counting as one) becomes '?'. Windows file names cannot hold '?', so such a name never matches
// a keyset by accident.
class AsciiCodePage final : public AnsiCodePage {
public:
    std::string FromUtf16(const char16_t* text, std::size_t length) const override;
};

} // namespace qvl::fakes
