// The keysets QVL2.exe carries for programs its users run all day, each made of that program's default
// shortcuts as its own documentation or source gives them (editor/res/templates/*.txt, keysets as text,
// built into the program as resources; a comment in each names its source and version). File, "New
// Keyset from Template..." lists them.
#pragma once

#include <cstddef>

namespace qvl {

struct KeysetTemplate {
    const char* title;    // as the list shows it
    const char* program;  // the program's file name without ".exe": its keyset serves that program
    unsigned resourceId;  // the text's resource in QVL2.exe
    const char* fileName; // the text in editor/res/templates
};

constexpr std::size_t kKeysetTemplateCount = 6;
extern const KeysetTemplate kKeysetTemplates[kKeysetTemplateCount];

} // namespace qvl
