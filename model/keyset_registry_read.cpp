// Keeping the image of "Keysets" in step with the registry: reading only the subkeys that the record
// of changes names (or, when it cannot tell, those whose own generation moved).
#include "model/keyset_registry.h"

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

// Read a value that must be exactly its record's size into its place in `record`. A value of any
// other size counts as missing: copying a short one would leave half a record, a long one would
// spill into the next field.
bool ReadStoredValue(Registry& registry, Registry::Key key, int value, KeysetRecord& record) {
    std::vector<unsigned char> scratch(ValueSize(value));
    const std::optional<std::size_t> stored =
        registry.ReadValue(key, StoredValueName(value), scratch.data(), scratch.size());
    if (!stored || *stored != scratch.size())
        return false;
    std::memcpy(const_cast<unsigned char*>(ValueBytes(record, value)), scratch.data(), scratch.size());
    return true;
}

} // namespace

void CKeysetRegistry::Refresh(Registry::Key keysetsKey, const StringSource& names) {
    std::vector<unsigned char> bytes(kChangesMaxBytes);
    const std::optional<std::size_t> size =
        registry_.ReadValue(keysetsKey, kChangesValueName, bytes.data(), bytes.size());
    std::optional<KeysetChanges> stored;
    if (size && *size <= bytes.size())
        stored = DecodeChanges(bytes.data(), *size);
    if (stored && image_.known && image_.root == root_ && stored->Covers(image_.changes.generation)) {
        const std::uint64_t seen = image_.changes.generation;
        image_.changes = *stored;
        if (stored->generation == seen || ReadChanged(keysetsKey, *stored, seen, names))
            return;
    }
    ReadAll(keysetsKey, names);
    image_.known = stored.has_value();
    image_.changes = stored ? *stored : KeysetChanges();
}

bool CKeysetRegistry::ReadChanged(Registry::Key keysetsKey, const KeysetChanges& stored, std::uint64_t seen,
                                  const StringSource& names) {
    // A new subkey takes its place in the registry's order, which only a listing tells.
    if (stored.addedAt > seen)
        return false;
    for (const KeysetChange& entry : stored.entries) {
        if (entry.generation <= seen)
            continue;
        StoredSubkey* subkey = image_.Find(textCase_.Fold(entry.subkey));
        if (subkey == nullptr)
            return false; // a subkey this image never had: list them all
        RegKey keyset = RegKey::Open(registry_, keysetsKey, subkey->name.c_str());
        if (!keyset) {
            image_.subkeys.erase(image_.subkeys.begin() + (subkey - image_.subkeys.data()));
            continue;
        }
        std::uint64_t own = 0;
        subkey->generation = ReadGeneration(registry_, keyset.Get(), own) ? own : 0;
        ReadSubkey(keyset.Get(), *subkey, names);
    }
    ChooseTaken(image_.subkeys);
    return true;
}

void CKeysetRegistry::ReadAll(Registry::Key keysetsKey, const StringSource& names) {
    std::vector<StoredSubkey> seen;
    if (image_.root == root_)
        seen.swap(image_.subkeys);
    image_.subkeys.clear();
    image_.root = root_;
    std::vector<std::string> subkeyNames;
    SubkeyNames(registry_, keysetsKey, subkeyNames);
    for (const std::string& name : subkeyNames) {
        RegKey keyset = RegKey::Open(registry_, keysetsKey, name.c_str());
        if (!keyset)
            continue;
        std::uint64_t own = 0;
        const bool stamped = ReadGeneration(registry_, keyset.Get(), own);
        const std::string folded = textCase_.Fold(name);
        StoredSubkey* before = nullptr;
        for (StoredSubkey& subkey : seen)
            if (stamped && subkey.generation == own && subkey.folded == folded)
                before = &subkey;
        if (before != nullptr) {
            image_.subkeys.push_back(std::move(*before));
            image_.subkeys.back().name = name;
            continue;
        }
        StoredSubkey subkey;
        subkey.name = name;
        subkey.folded = folded;
        subkey.generation = stamped ? own : 0;
        ReadSubkey(keyset.Get(), subkey, names);
        image_.subkeys.push_back(std::move(subkey));
    }
    ChooseTaken(image_.subkeys);
}

void CKeysetRegistry::ReadSubkey(Registry::Key keysetKey, StoredSubkey& subkey, const StringSource& names) {
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
    DeriveLoaded(subkey, names);
    subkey.foldedAppName = textCase_.Fold(ReadField(subkey.loaded.header.appName));
}

} // namespace qvl
