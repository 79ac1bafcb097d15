// A program's own string table as the keyset model reads it. The editor's holds the control names of
// new keysets; the driver's holds none of them (a keyset it makes has them empty) but has the
// click-window question.
#pragma once

#include "model/keyset_record.h"

#include <windows.h>

namespace qvl {

class ModuleStrings final : public StringSource {
public:
    explicit ModuleStrings(HINSTANCE instance) : instance_(instance) {}
    std::size_t Load(unsigned id, char* buffer, std::size_t size) const override;

private:
    HINSTANCE instance_;
};

} // namespace qvl
