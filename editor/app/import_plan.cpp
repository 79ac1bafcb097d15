#include "editor/app/import_plan.h"

#include "model/keyset_registry.h"

namespace qvl {

namespace {

// The keyset of `names` that `name` is, ignoring case; an exact match wins.
std::optional<int> FindName(const std::vector<std::string>& names, const std::string& name, const TextCase& textCase) {
    for (std::size_t n = 0; n < names.size(); ++n)
        if (names[n] == name)
            return static_cast<int>(n);
    for (std::size_t n = 0; n < names.size(); ++n)
        if (textCase.Same(names[n], name))
            return static_cast<int>(n);
    return std::nullopt;
}

} // namespace

std::string FreeKeysetName(const std::string& name, const std::vector<std::string>& taken, const TextCase& textCase) {
    for (int number = 2;; ++number) {
        const std::string suffix = " (" + std::to_string(number) + ")";
        std::string base = name;
        while (!base.empty() && !IsStorableKeysetName(base + suffix))
            base.pop_back();
        const std::string candidate = base + suffix;
        if (!FindName(taken, candidate, textCase))
            return candidate;
    }
}

std::optional<std::vector<ImportStep>> PlanImport(const std::vector<std::string>& listed,
                                                  const std::vector<std::string>& imported, const TextCase& textCase,
                                                  const AskConflict& ask) {
    std::vector<std::string> names = listed; // grows by each keyset the plan adds
    std::optional<ConflictAnswer> forAll;
    std::vector<ImportStep> steps;
    for (const std::string& name : imported) {
        ImportStep step;
        const std::optional<int> same = FindName(names, name, textCase);
        ConflictChoice choice = ConflictChoice::kKeepBoth;
        if (same) {
            std::optional<ConflictAnswer> answer = forAll ? forAll : ask(name);
            if (!answer)
                return std::nullopt;
            if (answer->forAll)
                forAll = answer;
            choice = answer->choice;
        }
        if (same && choice == ConflictChoice::kReplace) {
            step.kind = ImportStep::Kind::kReplace;
            step.replaces = *same;
            step.name = names[static_cast<std::size_t>(*same)];
        } else if (!same || choice == ConflictChoice::kKeepBoth) {
            step.kind = ImportStep::Kind::kAdd;
            step.name = same ? FreeKeysetName(name, names, textCase) : name;
            names.push_back(step.name);
        }
        steps.push_back(step);
    }
    return steps;
}

} // namespace qvl
