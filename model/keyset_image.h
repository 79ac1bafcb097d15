// What one program last saw of the stored keysets: each subkey of "Keysets" in the registry's
// enumeration order, with the bytes of its values and the generation it carried. Loads and saves
// compare against it to read and write only what changed; the program's CKeysetRegistry keeps it.
#pragma once

#include "model/keyset_changes.h"
#include "model/keyset_record.h"
#include "model/keyset_steps.h"
#include "model/window_rule.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qvl {

constexpr const char* kAppPrefValueName = "AppPref";

// The stored values of one keyset: "AppPref" and the 28 assignments, in record order.
constexpr int kStoredValueCount = 1 + kBankCount * kControlCount;
constexpr int kHeaderValue = 0;
constexpr int AssignmentValue(int bank, int control) {
    return 1 + bank * kControlCount + control;
}

// One subkey of "Keysets" as last read or written.
struct StoredSubkey {
    std::string name;             // as enumerated
    std::string folded;           // as the registry compares it
    std::string foldedAppName;    // the name inside "AppPref", folded the same way
    std::uint64_t generation = 0; // its "Generation"; 0 when it has none, which never matches
    // Bit `AssignmentValue(...)` or kHeaderValue: that value is stored with the right size.
    std::uint32_t present = 0;
    KeysetRecord stored{}; // the bytes of the present values; zeros elsewhere
    KeysetRecord loaded{}; // what a load makes of them (valid when the header is present)
    WindowRule rule;       // its "MatchProgram", "MatchTitle" and "MatchClass" (absent: empty)
    // What a load makes of the steps values beside the assignments (model/stored_steps.h): the store's
    // steps compare against it, so a value is written only when its field changed, and a value the
    // load could not take (another type, too long) stays until the user sets that field.
    KeysetSteps steps;
    bool taken = false; // the load takes this subkey as a keyset

    bool Has(int value) const { return (present >> value & 1u) != 0; }
    bool HasHeader() const { return Has(kHeaderValue); }
};

struct StoredKeysets {
    bool known = false;    // `changes` is a record the registry held
    KeysetChanges changes; // the record under "Keysets" when last seen
    std::string root;      // the root these subkeys were read from
    std::vector<StoredSubkey> subkeys;

    // The subkey the registry would open for a keyset whose name folds to `folded`, or null.
    StoredSubkey* Find(const std::string& folded);
    const StoredSubkey* Find(const std::string& folded) const;
};

// The bytes of stored value `value` within a record, their number, and the value's name (the bank is
// the subkey it is stored in).
const unsigned char* ValueBytes(const KeysetRecord& record, int value);
std::size_t ValueSize(int value);
const char* StoredValueName(int value);

// What a load makes of a subkey's values: a new keyset of the stored name, with the stored header,
// and each bank's assignments up to the first one that is missing.
void DeriveLoaded(StoredSubkey& subkey, const StringSource& names);

// Which subkeys a load takes: those with a header, one per name ignoring case (by `folded` of the
// name inside "AppPref"): the one whose subkey name is that name, else the first in enumeration order.
// The others are not ours to load, nor to delete.
void ChooseTaken(std::vector<StoredSubkey>& subkeys);

// A generation after `stored`, or a fresh one when there is none: a counter would start again where
// an older program's whole rewrite removed it, so the fresh start is drawn from the clock.
std::uint64_t NextGeneration(bool known, std::uint64_t stored);

} // namespace qvl
