#include "model/keyset_store.h"

namespace qvl {

std::optional<KeysetRecord> CKeysetStore::GetKeyset(int index) const {
    if (!Contains(index))
        return std::nullopt;
    return keysets_[static_cast<std::size_t>(index)];
}

std::optional<ControlAssignment> CKeysetStore::GetAssignment(int index, int bank, int control) const {
    if (!Contains(index) || !IsAssignmentIndex(bank, control))
        return std::nullopt;
    return AssignmentAt(keysets_[static_cast<std::size_t>(index)], bank, control);
}

// Records from callers may carry strings without their NUL (a file, a text cut by hand); the list
// only ever holds terminated ones, so every reader and every save can trust them.
void CKeysetStore::SetKeyset(int index, const KeysetRecord& record) {
    if (!Contains(index))
        return;
    KeysetRecord& stored = keysets_[static_cast<std::size_t>(index)];
    stored = record;
    TerminateStrings(stored);
}

void CKeysetStore::SetAssignment(int index, int bank, int control, const ControlAssignment& assignment) {
    if (!Contains(index) || !IsAssignmentIndex(bank, control))
        return;
    ControlAssignment& stored = AssignmentAt(keysets_[static_cast<std::size_t>(index)], bank, control);
    stored = assignment;
    TerminateStrings(stored);
}

void CKeysetStore::Add(const KeysetRecord& record, const WindowRule& rule, const KeysetSteps& steps) {
    InsertAt(GetCount(), record, rule, steps);
}

void CKeysetStore::InsertAt(int index, const KeysetRecord& record, const WindowRule& rule, const KeysetSteps& steps) {
    if (index < 0 || index > GetCount())
        return;
    auto inserted = keysets_.insert(keysets_.begin() + index, record);
    TerminateStrings(*inserted);
    rules_.insert(rules_.begin() + index, Bounded(rule));
    steps_.insert(steps_.begin() + index, steps);
}

void CKeysetStore::RemoveAt(int index) {
    if (!Contains(index))
        return;
    keysets_.erase(keysets_.begin() + index);
    rules_.erase(rules_.begin() + index);
    steps_.erase(steps_.begin() + index);
}

WindowRule CKeysetStore::GetRule(int index) const {
    return Contains(index) ? rules_[static_cast<std::size_t>(index)] : WindowRule();
}

void CKeysetStore::SetRule(int index, const WindowRule& rule) {
    if (Contains(index))
        rules_[static_cast<std::size_t>(index)] = Bounded(rule);
}

KeysetSteps CKeysetStore::GetSteps(int index) const {
    return Contains(index) ? steps_[static_cast<std::size_t>(index)] : KeysetSteps();
}

void CKeysetStore::SetSteps(int index, const KeysetSteps& steps) {
    if (Contains(index))
        steps_[static_cast<std::size_t>(index)] = steps;
}

AssignmentSteps CKeysetStore::GetAssignmentSteps(int index, int bank, int control) const {
    return Contains(index) ? steps_[static_cast<std::size_t>(index)].Get(bank, control) : AssignmentSteps();
}

void CKeysetStore::SetAssignmentSteps(int index, int bank, int control, const AssignmentSteps& steps) {
    if (Contains(index))
        steps_[static_cast<std::size_t>(index)].Set(bank, control, steps);
}

std::optional<int> CKeysetStore::Find(std::string_view name) const {
    for (int index = 0; index < GetCount(); ++index)
        if (NameEquals(index, name))
            return index;
    return std::nullopt;
}

bool CKeysetStore::NameEquals(int index, std::string_view name) const {
    if (!Contains(index))
        return false;
    const char* appName = keysets_[static_cast<std::size_t>(index)].header.appName;
    return std::string_view(appName) == name; // stored names are always terminated
}

std::string CKeysetStore::GetName(int index) const {
    if (!Contains(index))
        return std::string();
    return ReadField(keysets_[static_cast<std::size_t>(index)].header.appName);
}

} // namespace qvl
