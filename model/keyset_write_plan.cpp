#include "model/keyset_write_plan.h"

#include "model/stored_steps.h"

#include <cstring>

namespace qvl {

namespace {

bool SameValue(const StoredSubkey& subkey, const KeysetRecord& record, int value) {
    return subkey.Has(value) &&
           std::memcmp(ValueBytes(subkey.stored, value), ValueBytes(record, value), ValueSize(value)) == 0;
}

// One wanted record per subkey the registry would use, in list order; the last keyset of a name wins.
std::vector<ListedKeyset> OnePerSubkey(const std::vector<ListedKeyset>& list) {
    std::vector<ListedKeyset> wanted;
    for (const ListedKeyset& keyset : list) {
        ListedKeyset* same = nullptr;
        for (ListedKeyset& earlier : wanted)
            if (earlier.folded == keyset.folded)
                same = &earlier;
        if (same != nullptr) {
            same->record = keyset.record;
            same->rule = keyset.rule;
            same->steps = keyset.steps;
        } else
            wanted.push_back(keyset);
    }
    return wanted;
}

// The write of `keyset` into `subkey` (null: a new subkey), or nothing when it holds that already.
bool PlanKeyset(const ListedKeyset& keyset, const StoredSubkey* subkey, PlannedKeyset& planned) {
    planned.made = subkey == nullptr;
    planned.subkey = subkey != nullptr ? subkey->name : keyset.name;
    planned.folded = keyset.folded;
    planned.record = *keyset.record;
    for (int value = 0; value < kStoredValueCount; ++value)
        if (subkey == nullptr || !SameValue(*subkey, *keyset.record, value))
            planned.values.push_back(value);
    planned.rule = keyset.rule;
    for (int field = 0; field < kRuleFieldCount; ++field)
        if (subkey == nullptr ? !RuleField(keyset.rule, field).empty()
                              : RuleField(subkey->rule, field) != RuleField(keyset.rule, field))
            planned.ruleFields.push_back(field);
    planned.steps = keyset.steps;
    for (int bank = 0; bank < kBankCount; ++bank)
        for (int control = 0; control < kControlCount; ++control)
            PlanStepsValues(subkey != nullptr ? &subkey->steps : nullptr, keyset.steps, bank, control,
                            planned.stepsValues);
    return planned.made || subkey->generation == 0 || !planned.values.empty() || !planned.ruleFields.empty() ||
           !planned.stepsValues.empty();
}

} // namespace

void PlanStepsValues(const KeysetSteps* stored, const KeysetSteps& wanted, int bank, int control,
                     std::vector<StepsValue>& values) {
    const AssignmentSteps none;
    const AssignmentSteps& was = stored != nullptr ? stored->Get(bank, control) : none;
    const AssignmentSteps& is = wanted.Get(bank, control);
    for (int field = 0; field < kStepsFieldCount; ++field)
        if (HasStepsField(control, field) && !SameStepsField(was, is, field))
            values.push_back(StepsValue{bank, control, field});
}

WritePlan PlanWrites(const std::vector<ListedKeyset>& list, const StoredKeysets& image) {
    WritePlan plan;
    const std::vector<ListedKeyset> wanted = OnePerSubkey(list);
    for (const ListedKeyset& keyset : wanted) {
        PlannedKeyset planned;
        if (!PlanKeyset(keyset, image.Find(keyset.folded), planned))
            continue;
        plan.touched.push_back(planned.subkey);
        plan.adds = plan.adds || planned.made;
        plan.writes.push_back(std::move(planned));
    }
    for (const StoredSubkey& subkey : image.subkeys) {
        bool keep = !subkey.taken;
        for (const ListedKeyset& keyset : wanted)
            keep = keep || keyset.folded == subkey.folded;
        if (!keep) {
            plan.deletes.push_back(subkey.name);
            plan.touched.push_back(subkey.name);
        }
    }
    return plan;
}

} // namespace qvl
