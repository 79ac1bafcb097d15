// Keeping a store's image of "Keysets" and the registry in step: reading only the subkeys that the
// record of changes names (or, when it cannot tell, those whose own generation moved), and writing
// only the values that differ.
#include "model/keyset_registry.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qvl {

namespace {

bool ReadGeneration(Registry& registry, Registry::Key key, std::uint64_t& generation) {
    std::uint64_t stored = 0;
    if (registry.ReadValue(key, kGenerationValueName, &stored, sizeof stored) != sizeof stored || stored == 0)
        return false;
    generation = stored;
    return true;
}

const char* ValueName(int value) {
    if (value == kHeaderValue)
        return kAppPrefValueName;
    return kControlValueNames[(value - 1) % kControlCount];
}

// Read a value that must be exactly its record's size into its place in `record`. A value of any
// other size counts as missing: copying a short one would leave half a record, a long one would
// spill into the next field.
bool ReadStoredValue(Registry& registry, Registry::Key key, int value, KeysetRecord& record) {
    std::vector<unsigned char> scratch(ValueSize(value));
    const std::optional<std::size_t> stored = registry.ReadValue(key, ValueName(value), scratch.data(), scratch.size());
    if (!stored || *stored != scratch.size())
        return false;
    std::memcpy(const_cast<unsigned char*>(ValueBytes(record, value)), scratch.data(), scratch.size());
    return true;
}

bool SameValue(const StoredSubkey& subkey, const KeysetRecord& record, int value) {
    return subkey.Has(value) &&
           std::memcmp(ValueBytes(subkey.stored, value), ValueBytes(record, value), ValueSize(value)) == 0;
}

} // namespace

void CKeysetRegistry::Refresh(Registry::Key keysetsKey) {
    StoredKeysets& image = store_->Stored();
    std::vector<unsigned char> bytes(kChangesMaxBytes);
    const std::optional<std::size_t> size =
        registry_.ReadValue(keysetsKey, kChangesValueName, bytes.data(), bytes.size());
    std::optional<KeysetChanges> stored;
    if (size && *size <= bytes.size())
        stored = DecodeChanges(bytes.data(), *size);
    if (stored && image.known && image.root == root_ && stored->Covers(image.changes.generation)) {
        const std::uint64_t seen = image.changes.generation;
        image.changes = *stored;
        if (stored->generation == seen || ReadChanged(keysetsKey, *stored, seen))
            return;
    }
    ReadAll(keysetsKey);
    image.known = stored.has_value();
    image.changes = stored ? *stored : KeysetChanges();
}

bool CKeysetRegistry::ReadChanged(Registry::Key keysetsKey, const KeysetChanges& stored, std::uint64_t seen) {
    StoredKeysets& image = store_->Stored();
    // A new subkey takes its place in the registry's order, which only a listing tells.
    if (stored.addedAt > seen)
        return false;
    for (const KeysetChange& entry : stored.entries) {
        if (entry.generation <= seen)
            continue;
        StoredSubkey* subkey = image.Find(registry_.FoldKeyName(entry.subkey));
        if (subkey == nullptr)
            return false; // a subkey this image never had: list them all
        RegKey keyset = RegKey::Open(registry_, keysetsKey, subkey->name.c_str());
        if (!keyset) {
            image.subkeys.erase(image.subkeys.begin() + (subkey - image.subkeys.data()));
            continue;
        }
        std::uint64_t own = 0;
        subkey->generation = ReadGeneration(registry_, keyset.Get(), own) ? own : 0;
        ReadSubkey(keyset.Get(), *subkey);
    }
    ChooseTaken(image.subkeys);
    return true;
}

void CKeysetRegistry::ReadAll(Registry::Key keysetsKey) {
    StoredKeysets& image = store_->Stored();
    std::vector<StoredSubkey> seen;
    if (image.root == root_)
        seen.swap(image.subkeys);
    image.subkeys.clear();
    image.root = root_;
    std::vector<std::string> names;
    SubkeyNames(registry_, keysetsKey, names);
    for (const std::string& name : names) {
        RegKey keyset = RegKey::Open(registry_, keysetsKey, name.c_str());
        if (!keyset)
            continue;
        std::uint64_t own = 0;
        const bool stamped = ReadGeneration(registry_, keyset.Get(), own);
        const std::string folded = registry_.FoldKeyName(name);
        StoredSubkey* before = nullptr;
        for (StoredSubkey& subkey : seen)
            if (stamped && subkey.generation == own && subkey.folded == folded)
                before = &subkey;
        if (before != nullptr) {
            image.subkeys.push_back(std::move(*before));
            image.subkeys.back().name = name;
            continue;
        }
        StoredSubkey subkey;
        subkey.name = name;
        subkey.folded = folded;
        subkey.generation = stamped ? own : 0;
        ReadSubkey(keyset.Get(), subkey);
        image.subkeys.push_back(std::move(subkey));
    }
    ChooseTaken(image.subkeys);
}

void CKeysetRegistry::ReadSubkey(Registry::Key keysetKey, StoredSubkey& subkey) {
    subkey.present = 0;
    std::memset(&subkey.stored, 0, sizeof subkey.stored);
    if (!ReadStoredValue(registry_, keysetKey, kHeaderValue, subkey.stored))
        return; // no identity: not a keyset, and its banks are left as they are
    subkey.present |= 1u << kHeaderValue;
    for (int bank = 0; bank < kBankCount; ++bank) {
        // A missing bank subkey is made, empty, as every load of the store has always done.
        RegKey bankKey = RegKey::Create(registry_, keysetKey, kBankKeyNames[bank]);
        for (int control = 0; bankKey && control < kControlCount; ++control) {
            const int value = AssignmentValue(bank, control);
            if (ReadStoredValue(registry_, bankKey.Get(), value, subkey.stored))
                subkey.present |= 1u << value;
        }
    }
    DeriveLoaded(subkey, store_->Names());
    subkey.foldedAppName = registry_.FoldKeyName(ReadField(subkey.loaded.header.appName));
}

bool CKeysetRegistry::WriteChanges(Registry::Key keysetsKey) {
    StoredKeysets& image = store_->Stored();
    // What the list asks for, one keyset per subkey: a later keyset whose name differs only in case
    // lands in the subkey of the earlier one and overwrites it, as a rewrite of the whole list does.
    struct Wanted {
        std::string name;
        std::string folded;
        KeysetRecord record;
    };
    std::vector<Wanted> wanted;
    for (int index = 0; index < store_->GetCount(); ++index) {
        std::string name = store_->GetName(index);
        if (!IsStorableKeysetName(name))
            continue;
        std::string folded = registry_.FoldKeyName(name);
        Wanted* same = nullptr;
        for (Wanted& w : wanted)
            if (w.folded == folded)
                same = &w;
        if (same != nullptr)
            same->record = *store_->GetKeyset(index);
        else
            wanted.push_back(Wanted{std::move(name), std::move(folded), *store_->GetKeyset(index)});
    }

    std::vector<std::string> touched;
    bool adds = false;
    std::vector<const Wanted*> writes;
    for (const Wanted& w : wanted) {
        const StoredSubkey* subkey = image.Find(w.folded);
        bool differs = subkey == nullptr || subkey->generation == 0;
        for (int value = 0; value < kStoredValueCount && !differs; ++value)
            differs = !SameValue(*subkey, w.record, value);
        if (!differs)
            continue;
        writes.push_back(&w);
        touched.push_back(subkey != nullptr ? subkey->name : w.name);
        adds = adds || subkey == nullptr;
    }
    std::vector<std::string> deletes;
    for (const StoredSubkey& subkey : image.subkeys) {
        bool keep = !subkey.taken;
        for (const Wanted& w : wanted)
            keep = keep || w.folded == subkey.folded;
        if (!keep) {
            deletes.push_back(subkey.name);
            touched.push_back(subkey.name);
        }
    }
    if (touched.empty())
        return true;
    std::uint64_t generation = 0;
    if (!RecordChanges(keysetsKey, touched, adds, generation))
        return false;

    bool allWritten = true;
    bool madeSubkeys = false;
    for (const Wanted* w : writes) {
        StoredSubkey* subkey = image.Find(w->folded);
        if (subkey == nullptr) {
            StoredSubkey made;
            made.name = w->name;
            made.folded = w->folded;
            image.subkeys.push_back(std::move(made));
            subkey = &image.subkeys.back();
            madeSubkeys = true;
        }
        allWritten = WriteSubkey(keysetsKey, w->record, *subkey, generation) && allWritten;
    }
    // Deletes come last: a keyset that moved to another subkey is already written there.
    for (const std::string& name : deletes) {
        if (!registry_.DeleteTree(keysetsKey, name.c_str())) {
            allWritten = false;
            continue;
        }
        const StoredSubkey* subkey = image.Find(registry_.FoldKeyName(name));
        if (subkey != nullptr)
            image.subkeys.erase(image.subkeys.begin() + (subkey - image.subkeys.data()));
    }
    if (madeSubkeys)
        ReorderByEnumeration(keysetsKey);
    ChooseTaken(image.subkeys);
    return allWritten;
}

bool CKeysetRegistry::RecordChanges(Registry::Key keysetsKey, const std::vector<std::string>& touched, bool added,
                                    std::uint64_t& generation) {
    StoredKeysets& image = store_->Stored();
    KeysetChanges record = image.known ? image.changes : KeysetChanges();
    generation = NextGeneration(image.known, record.generation);
    RecordSave(record, generation, touched, added);
    const std::vector<unsigned char> bytes = EncodeChanges(record);
    // Written whole, before anything it lists: a reader that comes after any part of this save, or
    // after this program ended half-way through it, reads those subkeys again.
    if (!registry_.WriteBinary(keysetsKey, kChangesValueName, bytes.data(), bytes.size()))
        return false;
    image.known = true;
    image.changes = std::move(record);
    return true;
}

bool CKeysetRegistry::WriteSubkey(Registry::Key keysetsKey, const KeysetRecord& record, StoredSubkey& subkey,
                                  std::uint64_t generation) {
    RegKey keyset = RegKey::Create(registry_, keysetsKey, subkey.name.c_str());
    if (!keyset)
        return false;
    // Its own generation first, for the same reason as the one under "Keysets".
    const bool stamped = registry_.WriteBinary(keyset.Get(), kGenerationValueName, &generation, sizeof generation);
    bool allWritten = stamped;
    if (!SameValue(subkey, record, kHeaderValue)) {
        if (registry_.WriteBinary(keyset.Get(), kAppPrefValueName, &record.header, sizeof record.header)) {
            subkey.stored.header = record.header;
            subkey.present |= 1u << kHeaderValue;
        } else {
            allWritten = false;
        }
    }
    for (int bank = 0; bank < kBankCount; ++bank) {
        RegKey bankKey;
        for (int control = 0; control < kControlCount; ++control) {
            const int value = AssignmentValue(bank, control);
            if (SameValue(subkey, record, value))
                continue;
            if (!bankKey)
                bankKey = RegKey::Create(registry_, keyset.Get(), kBankKeyNames[bank]);
            const ControlAssignment& assignment = AssignmentAt(record, bank, control);
            // The first write that fails ends the bank, as it always has.
            if (!bankKey ||
                !registry_.WriteBinary(bankKey.Get(), kControlValueNames[control], &assignment, sizeof assignment)) {
                allWritten = false;
                break;
            }
            AssignmentAt(subkey.stored, bank, control) = assignment;
            subkey.present |= 1u << value;
        }
    }
    // A subkey whose values are not all known is read again next time rather than trusted.
    subkey.generation = stamped && allWritten ? generation : 0;
    DeriveLoaded(subkey, store_->Names());
    subkey.foldedAppName = registry_.FoldKeyName(ReadField(subkey.loaded.header.appName));
    return allWritten;
}

void CKeysetRegistry::ReorderByEnumeration(Registry::Key keysetsKey) {
    StoredKeysets& image = store_->Stored();
    std::vector<StoredSubkey> known;
    known.swap(image.subkeys);
    std::vector<std::string> names;
    const bool complete = SubkeyNames(registry_, keysetsKey, names);
    for (const std::string& name : names) {
        const std::string folded = registry_.FoldKeyName(name);
        for (StoredSubkey& subkey : known) {
            if (subkey.folded == folded && !subkey.folded.empty()) {
                subkey.name = name; // the spelling the subkey was made with
                image.subkeys.push_back(std::move(subkey));
                subkey.folded.clear();
                break;
            }
        }
    }
    // A subkey that came from somewhere else (the lock could not be had) is not known here: listing
    // everything again next time picks it up.
    if (!complete || image.subkeys.size() != names.size())
        image.known = false;
}

} // namespace qvl
