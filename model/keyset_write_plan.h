// What a save writes, decided before anything is written: for every keyset of the list that differs
// from what is stored, the subkey it goes to and the values to write there; the subkeys to delete; and
// what the record of changes is to list. It is worked out from the list and the image of the registry
// alone, so it is data that can be looked at; CKeysetRegistry then carries it out.
#pragma once

#include "model/keyset_image.h"
#include "model/keyset_record.h"

#include <string>
#include <vector>

namespace qvl {

// One keyset of the list as a save sees it: its name, that name as the registry compares key names,
// and its record.
struct ListedKeyset {
    std::string name;
    std::string folded;
    const KeysetRecord* record = nullptr;
    WindowRule rule;
    KeysetSteps steps;
};

// One stored steps value: `field` (model/stored_steps.h) of the steps of assignment (bank, control).
struct StepsValue {
    int bank = 0;
    int control = 0;
    int field = 0;
    bool operator==(const StepsValue& other) const {
        return bank == other.bank && control == other.control && field == other.field;
    }
};

// A subkey to write.
struct PlannedKeyset {
    std::string subkey;          // as the registry spells it, or the keyset's name for a new one
    std::string folded;          // that name as the registry compares it
    bool made = false;           // the subkey is not in the image: it is created
    KeysetRecord record{};       // what the subkey is to hold
    std::vector<int> values;     // the stored values that differ, in record order (kHeaderValue, AssignmentValue)
    WindowRule rule;             // the rule the subkey is to hold
    std::vector<int> ruleFields; // the fields of the rule that differ (kRuleValueNames), in order
    KeysetSteps steps;           // the steps the subkey is to hold
    std::vector<StepsValue> stepsValues; // the steps values that differ, bank by bank, control by control
};

struct WritePlan {
    std::vector<PlannedKeyset> writes;
    std::vector<std::string> deletes; // subkeys of keysets that left the list, deleted after every write
    std::vector<std::string> touched; // the written and the deleted subkeys, for the record of changes
    bool adds = false;                // a write makes a subkey

    bool Empty() const { return touched.empty(); }
};

// The writes that make the stored keysets those of `list`, one keyset per subkey: a later keyset whose
// name differs from an earlier one's only in case lands in the earlier one's subkey and overwrites it,
// as a rewrite of the whole list does. A steps value is written where its field differs from what the
// load made of the subkey, and in a new subkey where it is set. A subkey whose generation is not known is written again
// (its "Generation" at least); subkeys a load does not take are left alone.
WritePlan PlanWrites(const std::vector<ListedKeyset>& list, const StoredKeysets& image);

// The steps values of `control` in `bank` whose fields differ between `stored` and `wanted` (against no
// steps when `stored` is null), appended to `values`.
void PlanStepsValues(const KeysetSteps* stored, const KeysetSteps& wanted, int bank, int control,
                     std::vector<StepsValue>& values);

} // namespace qvl
