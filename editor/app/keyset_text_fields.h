// The fields of an assignment line in keysets written as text, each read into the assignment and the
// steps it names (keyset_text_read.cpp reads the lines around them).
#pragma once

#include "model/code_page.h"
#include "model/keyset_record.h"
#include "model/keyset_steps.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qvl::keyset_text {

// What the fields of one assignment line are read into.
struct FieldTarget {
    ControlAssignment& assignment;
    AssignmentSteps& steps;
    bool wheel;
    const CodePage& codePage;
    std::optional<bool> extended; // "extended yes" or "no"; applied once every field is read
};

// Read field `name` (folded) with `value` into `target`; false, with `reason`, when the value is not one
// the field takes or there is no such field. `index` tells which field it was (for "given twice").
bool ReadField(const std::string& name, std::string_view value, FieldTarget& target, std::size_t& index,
               std::string& reason);
// The extended-key bit once the line is read: the key's own unless the line says otherwise.
bool FinishFields(FieldTarget& target, std::string& reason);

// The code page's bytes of the quoted `value`, at most `limit` of them, for the text called `what`.
std::optional<std::string> CodePageValue(std::string_view value, std::size_t limit, const char* what,
                                         const CodePage& codePage, std::string& reason);

} // namespace qvl::keyset_text
