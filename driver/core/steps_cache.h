// The steps of the keysets in use, read from their text once after each load of the keysets rather than at
// every press: a keyset's are parsed at the first press that uses it. A text that cannot be read (or is too
// long) counts as no steps, so its assignment sends its keystroke; it is told once for each keyset, bank,
// control and text, however often it is pressed or loaded again.
#pragma once

#include "model/keyset_record.h"
#include "model/keyset_store.h"
#include "model/steps.h"

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qvl {

struct PlayableSteps {
    std::optional<Steps> press; // none: the press sends the keystroke
    Steps release;              // what the release plays first (transport controls only)
    bool repeat = false;        // the press repeats while held (transport controls only)
};

// A stored text that is not steps.
struct StepsProblem {
    std::string keyset;
    int bank = 0;
    int control = 0;
    const char* which = ""; // "press" or "release"
    std::string text;       // as stored
    std::string message;    // why, as the editor words it
};

class CStepsCache {
public:
    // The steps of `control` in `bank` of keyset `index`; none outside the list.
    const PlayableSteps& Get(const CKeysetStore& store, int index, int bank, int control);
    // The keysets were loaded again: their steps are read again when next used.
    void Clear() { keysets_.clear(); }
    // Texts found unreadable since the last call, each only the first time.
    std::vector<StepsProblem> TakeProblems() { return std::exchange(problems_, {}); }
    bool HasProblems() const { return !problems_.empty(); }

private:
    using KeysetPlayable = std::array<PlayableSteps, kBankCount * kControlCount>;
    std::unique_ptr<KeysetPlayable> Parse(const CKeysetStore& store, int index);
    std::optional<Steps> Read(const std::string& keyset, int bank, int control, const char* which,
                              const std::string& text);

    std::vector<std::unique_ptr<KeysetPlayable>> keysets_; // by index; null: not read since the load
    std::set<std::string> told_;
    std::vector<StepsProblem> problems_;
};

} // namespace qvl
