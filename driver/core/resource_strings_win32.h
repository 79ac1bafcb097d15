// The driver's string table as the keyset model reads it: the click-window question, and none of the
// control names (a keyset the driver makes has them empty; the editor supplies them when it shows one).
#pragma once

#include "model/keyset_record.h"

#include <windows.h>

namespace qvl {

class DriverStrings final : public StringSource {
public:
    explicit DriverStrings(HINSTANCE instance) : instance_(instance) {}
    std::size_t Load(unsigned id, char* buffer, std::size_t size) const override;

private:
    HINSTANCE instance_;
};

} // namespace qvl
