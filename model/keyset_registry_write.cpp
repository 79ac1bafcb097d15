// Carrying out a save's plan: the record of changes first, then each keyset's values, then the
// deletes, keeping the image to what was really written and the result to the first call that failed.
#include "model/keyset_registry.h"
#include "model/stored_steps.h"

#include <algorithm>

namespace qvl {

StoreResult CKeysetRegistry::Apply(Registry::Key keysetsKey, const WritePlan& plan, const StringSource& names) {
    if (plan.Empty())
        return StoreResult();
    std::uint64_t generation = 0;
    StoreResult result = StoreResult::Of(RecordChanges(keysetsKey, plan.touched, plan.adds, generation));
    if (!result.Done())
        return result;
    for (const PlannedKeyset& planned : plan.writes)
        result.Note(WriteKeyset(keysetsKey, planned, generation, names));
    // Deletes come last: a keyset that moved to another subkey is already written there.
    for (const std::string& name : plan.deletes) {
        const RegStatus deleted = registry_.DeleteTree(keysetsKey, name.c_str());
        result.Note(deleted);
        if (!deleted)
            continue;
        const StoredSubkey* subkey = image_.Find(textCase_.Fold(name));
        if (subkey != nullptr)
            image_.subkeys.erase(image_.subkeys.begin() + (subkey - image_.subkeys.data()));
    }
    if (plan.adds)
        ReorderByEnumeration(keysetsKey);
    ChooseTaken(image_.subkeys);
    NoteOwnWrites();
    return result;
}

RegStatus CKeysetRegistry::RecordChanges(Registry::Key keysetsKey, const std::vector<std::string>& touched, bool added,
                                         std::uint64_t& generation) {
    KeysetChanges record = image_.known ? image_.changes : KeysetChanges();
    generation = NextGeneration(image_.known, record.generation);
    RecordSave(record, generation, touched, added);
    const std::vector<unsigned char> bytes = EncodeChanges(record);
    // Written whole, before anything it lists: a reader that comes after any part of this save, or
    // after this program ended half-way through it, reads those subkeys again.
    const RegStatus written = registry_.WriteBinary(keysetsKey, kChangesValueName, bytes.data(), bytes.size());
    if (written) {
        image_.known = true;
        image_.changes = std::move(record);
    }
    return written;
}

StoreResult CKeysetRegistry::WriteKeyset(Registry::Key keysetsKey, const PlannedKeyset& planned,
                                         std::uint64_t generation, const StringSource& names) {
    StoredSubkey* subkey = image_.Find(planned.folded);
    if (subkey == nullptr) {
        image_.subkeys.emplace_back();
        subkey = &image_.subkeys.back();
        subkey->name = planned.subkey;
        subkey->folded = planned.folded;
    }
    // A keyset that vanished under this save is not made again with only part of its values.
    const RegKey keyset = planned.made ? RegKey::Create(registry_, keysetsKey, planned.subkey.c_str())
                                       : RegKey::Open(registry_, keysetsKey, planned.subkey.c_str());
    StoreResult result = StoreResult::Of(keyset.Status());
    if (keyset) {
        // Its own generation first, for the same reason as the one under "Keysets".
        result.Note(registry_.WriteBinary(keyset.Get(), kGenerationValueName, &generation, sizeof generation));
        result.Note(WriteValues(keyset, planned, *subkey));
        result.Note(WriteRule(keysetsKey, keyset, planned, *subkey));
        result.Note(WriteSteps(keyset, planned, *subkey));
    }
    // A subkey whose values are not all known is read again next time rather than trusted.
    subkey->generation = result.Done() ? generation : 0;
    DeriveLoaded(*subkey, names);
    subkey->foldedAppName = textCase_.Fold(ReadField(subkey->loaded.header.appName));
    return result;
}

StoreResult CKeysetRegistry::WriteValues(const RegKey& keyset, const PlannedKeyset& planned, StoredSubkey& subkey) {
    StoreResult result;
    RegKey bankKey;
    int bank = -1;
    bool bankEnded = false;
    for (const int value : planned.values) {
        if (value != kHeaderValue && (value - 1) / kControlCount != bank) {
            bank = (value - 1) / kControlCount;
            bankKey = RegKey::Create(registry_, keyset, kBankKeyNames[bank]);
            bankEnded = false;
        }
        if (bankEnded)
            continue; // the first write that fails ends the bank, as it always has
        const RegKey& key = value == kHeaderValue ? keyset : bankKey;
        const unsigned char* bytes = ValueBytes(planned.record, value);
        const RegStatus written =
            key ? registry_.WriteBinary(key.Get(), StoredValueName(value), bytes, ValueSize(value)) : key.Status();
        result.Note(written);
        if (!written) {
            bankEnded = value != kHeaderValue;
            continue;
        }
        std::copy_n(bytes, ValueSize(value), const_cast<unsigned char*>(ValueBytes(subkey.stored, value)));
        subkey.present |= 1u << value;
    }
    return result;
}

StoreResult CKeysetRegistry::WriteRule(Registry::Key keysetsKey, const RegKey& keyset, const PlannedKeyset& planned,
                                       StoredSubkey& subkey) {
    StoreResult result;
    for (const int field : planned.ruleFields) {
        const std::string& text = RuleField(planned.rule, field);
        const char* name = kRuleValueNames[field];
        // An empty field is no condition: the value goes, so older readers see nothing at all.
        const RegStatus written = text.empty() ? registry_.DeleteValue(keysetsKey, planned.subkey.c_str(), name)
                                               : registry_.WriteText(keyset.Get(), name, text.c_str());
        result.Note(written);
        if (written)
            RuleField(subkey.rule, field) = text;
    }
    return result;
}

StoreResult CKeysetRegistry::WriteSteps(const RegKey& keyset, const PlannedKeyset& planned, StoredSubkey& subkey) {
    StoreResult result;
    for (const StepsValue& value : planned.stepsValues) {
        const AssignmentSteps& wanted = planned.steps.Get(value.bank, value.control);
        const RegStatus written =
            WriteStepsField(registry_, keyset.Get(), kBankKeyNames[value.bank], value.control, value.field, wanted);
        result.Note(written);
        if (!written)
            continue;
        AssignmentSteps stored = subkey.steps.Get(value.bank, value.control);
        CopyStepsField(wanted, stored, value.field);
        subkey.steps.Set(value.bank, value.control, stored);
    }
    return result;
}

void CKeysetRegistry::ReorderByEnumeration(Registry::Key keysetsKey) {
    std::vector<StoredSubkey> known;
    known.swap(image_.subkeys);
    std::vector<std::string> names;
    const bool complete = SubkeyNames(registry_, keysetsKey, names);
    for (const std::string& name : names) {
        const std::string folded = textCase_.Fold(name);
        for (StoredSubkey& subkey : known) {
            if (subkey.folded == folded && !subkey.folded.empty()) {
                subkey.name = name; // the spelling the subkey was made with
                image_.subkeys.push_back(std::move(subkey));
                subkey.folded.clear();
                break;
            }
        }
    }
    // A subkey that came from somewhere else (the lock could not be had) is not known here: listing
    // everything again next time picks it up.
    if (!complete || image_.subkeys.size() != names.size())
        image_.known = false;
}

} // namespace qvl
