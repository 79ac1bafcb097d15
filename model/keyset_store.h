// Each program's ordered list of keysets, index 0 being "Default". What is stored of it, and how,
// is its CKeysetRegistry's (model/keyset_registry.h), which the program keeps beside it.
//
// The current index is not held here but in the shared block, so that the editor and the driver
// agree on it. Getters hand out copies; an index outside the list never reads or writes outside it:
// the getters answer nothing and the setters do nothing. The shared index may name a keyset of the
// other program's list for a moment (it sets the index before it saves), so callers expect that.
#pragma once

#include "model/keyset_record.h"
#include "model/keyset_steps.h"
#include "model/shared_info.h"
#include "model/window_rule.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl {

class CKeysetStore {
public:
    // `names` is the program's string table, for the control names of keysets it initialises.
    CKeysetStore(CSharedInfo& shared, const StringSource& names) : shared_(shared), names_(names) {}
    CKeysetStore(const CKeysetStore&) = delete;
    CKeysetStore& operator=(const CKeysetStore&) = delete;

    int GetCount() const { return static_cast<int>(keysets_.size()); }
    std::optional<KeysetRecord> GetKeyset(int index) const;
    std::optional<ControlAssignment> GetAssignment(int index, int bank, int control) const;
    void SetKeyset(int index, const KeysetRecord& record);
    void SetAssignment(int index, int bank, int control, const ControlAssignment& assignment);
    // A keyset joins the list with its window rule and its steps (none by default); SetKeyset keeps the
    // rule and the steps there are.
    void Add(const KeysetRecord& record, const WindowRule& rule = WindowRule(),
             const KeysetSteps& steps = KeysetSteps());
    // Insert before `index` (0 to GetCount()); later keysets move up by one.
    void InsertAt(int index, const KeysetRecord& record, const WindowRule& rule = WindowRule(),
                  const KeysetSteps& steps = KeysetSteps());
    void RemoveAt(int index);
    void RemoveAll() {
        keysets_.clear();
        rules_.clear();
        steps_.clear();
    }
    // The window rule of keyset `index` (empty: none, or outside the list); set cut to its bounds.
    WindowRule GetRule(int index) const;
    void SetRule(int index, const WindowRule& rule);
    // The steps of keyset `index` (none outside the list), whole or for one control.
    KeysetSteps GetSteps(int index) const;
    void SetSteps(int index, const KeysetSteps& steps);
    AssignmentSteps GetAssignmentSteps(int index, int bank, int control) const;
    void SetAssignmentSteps(int index, int bank, int control, const AssignmentSteps& steps);

    // The first keyset whose name is exactly `name` (case matters); nothing when there is none.
    std::optional<int> Find(std::string_view name) const;
    // Whether keyset `index` is named exactly `name`; false outside the list.
    bool NameEquals(int index, std::string_view name) const;

    int GetCurrentIndex() const { return shared_.GetCurrentKeysetIndex(); }
    void SetCurrentIndex(int index) { shared_.SetCurrentKeysetIndex(index); }
    std::optional<KeysetRecord> GetCurrentKeyset() const { return GetKeyset(GetCurrentIndex()); }
    void SetCurrentKeyset(const KeysetRecord& record) { SetKeyset(GetCurrentIndex(), record); }
    std::optional<ControlAssignment> GetCurrentAssignment(int bank, int control) const {
        return GetAssignment(GetCurrentIndex(), bank, control);
    }
    // The name of keyset `index`, or "" outside the list.
    std::string GetName(int index) const;
    // The current keyset's name, or "" when the index names no keyset.
    std::string GetCurrentName() const { return GetName(GetCurrentIndex()); }

    const StringSource& Names() const { return names_; }
    CSharedInfo& Shared() const { return shared_; }

private:
    bool Contains(int index) const { return index >= 0 && index < GetCount(); }

    CSharedInfo& shared_;
    const StringSource& names_;
    std::vector<KeysetRecord> keysets_;
    std::vector<WindowRule> rules_;  // one per keyset, beside it
    std::vector<KeysetSteps> steps_; // one per keyset, beside it
};

} // namespace qvl
