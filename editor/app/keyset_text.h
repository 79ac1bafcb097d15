// Keysets as text: what a person reads in a forum post, keeps in version control and mends in Notepad.
// docs/keyset-text.md gives the whole form with an example; in short:
//
//   Quorvel 2 keysets, version 1
//   # a comment, on a line of its own
//   Keyset: "waveedit"
//   Rule: program "wave"; title "Untitled"
//   MainBank, Play: name "Play"; special Enter
//   Option Bank, Play: name "Option+Play"; key Ctrl+Home; press "Ctrl+Home, wait 50, Space"
//   MainBank, Wheel Right: name "Wheel"; key Right; mouse Horizontal Drag; speed 100
//
// One line per assignment that differs from an empty one (InitAssignment's), naming its bank and
// control in the editor's words and its values in the editor's words: keys as steps write them
// (model/steps.h), mouse actions as the overview and the panel's lists name them. UTF-8 with or without
// a byte-order mark, lines ended by CR LF or LF. Writing and reading again gives back every stored value
// the editor keeps (a flag code of 0 may come back as the default 128, which the editor treats alike),
// the window rule and the steps; texts the system's code page cannot show as characters are written
// byte by byte ("\x81").
//
// A text is read whole or refused whole: the first fault refuses it, with its line number and what was
// expected (`Line 12: "Option Bank, Play": there is no key named "Ctr".`). A line, field or name this
// version does not know, a later version of the form, is refused the same way, never skipped.
#pragma once

#include "model/code_page.h"
#include "model/keyset_record.h"
#include "model/keyset_steps.h"
#include "model/window_rule.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qvl {

// One keyset as a text carries it.
struct TextKeyset {
    KeysetRecord record;
    WindowRule rule;
    KeysetSteps steps;
};

// The version of the form this program writes and reads, and its first line.
constexpr int kKeysetTextVersion = 1;
constexpr const char* kKeysetTextHeader = "Quorvel 2 keysets, version 1";
// The most of a file taken in, and the most keysets one text may hold (as many as a collection).
constexpr std::size_t kKeysetTextReadLimit = std::size_t{16} << 20;
constexpr std::size_t kKeysetTextMaxKeysets = 5000;

// Whether `bytes` are meant as keysets written as text rather than as a keyset file or a collection: the
// form's first line (after a byte-order mark, blank lines and comments), or text without a NUL that
// begins with neither file's magic. Such bytes are read as text, and their faults told by line.
bool IsKeysetText(std::string_view bytes);

// The text of `keysets`, in their order: the form's first line, `comments` (each a line, "# " before
// it), then each keyset.
std::string WriteKeysetText(const std::vector<TextKeyset>& keysets, const CodePage& codePage,
                            const std::vector<std::string>& comments = {});

struct KeysetTextRead {
    std::vector<TextKeyset> keysets; // empty when refused
    int line = 0;                    // the line at fault; 0 when read
    std::string error;               // "Line 12: ...", the whole message; empty when read
    bool Ok() const { return error.empty(); }
};

KeysetTextRead ReadKeysetText(std::string_view bytes, const CodePage& codePage);

} // namespace qvl
