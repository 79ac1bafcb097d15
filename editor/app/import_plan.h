// What an import of several keysets does with each one, decided before anything changes: added, put in
// place of a keyset already in the list, or left out. A name already in the list (ignoring case, as
// the registry does) is a conflict, and the user chooses, once per name or once for all, to replace
// the keyset, keep both (the imported one under the first free name "<name> (2)", "<name> (3)", ...) or
// skip it. A replaced keyset keeps its own name and place, so "Default" is replaced only on Replace.
#pragma once

#include "model/text_case.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qvl {

enum class ConflictChoice { kReplace, kKeepBoth, kSkip };

struct ConflictAnswer {
    ConflictChoice choice = ConflictChoice::kSkip;
    bool forAll = false; // "Do this for all": the same for every later conflict, without asking
};

struct ImportStep {
    enum class Kind { kAdd, kReplace, kSkip };
    Kind kind = Kind::kSkip;
    // kReplace: the keyset replaced, an index into the list followed by the keysets this import adds
    // (in the order it adds them), so a keyset the same file held twice replaces its own earlier copy.
    int replaces = -1;
    std::string name; // kAdd, kReplace: the name the keyset is stored under
};

// Asked for each conflicting name; nothing when the user cancelled the import.
using AskConflict = std::function<std::optional<ConflictAnswer>(const std::string& name)>;

// One step per imported name, in their order; nothing when the user cancelled.
std::optional<std::vector<ImportStep>> PlanImport(const std::vector<std::string>& listed,
                                                  const std::vector<std::string>& imported, const TextCase& textCase,
                                                  const AskConflict& ask);

// The first of "<name> (2)", "<name> (3)", ... that is no name of `taken` and fits a keyset's name (the
// name is cut before the number when it must be).
std::string FreeKeysetName(const std::string& name, const std::vector<std::string>& taken, const TextCase& textCase);

} // namespace qvl
