// Keeping the image of "Keysets" in step with the registry: noting the writes the watch tells of, then
// reading nothing when nobody wrote, the subkeys the record of changes names when only our writers did,
// and every keyset when anybody else did.
#include "model/keyset_registry.h"
#include "model/stored_steps.h"

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

// A text value cut to a rule field's bounds; absent, empty or not readable: no condition.
std::string ReadRuleText(Registry& registry, Registry::Key key, const char* name) {
    std::vector<char> text(kRuleFieldMax + 2);
    const std::optional<std::size_t> stored = registry.ReadValue(key, name, text.data(), text.size());
    if (!stored || *stored == 0)
        return std::string();
    if (*stored > text.size()) {
        // Longer than any rule field: read it whole, then cut it.
        text.resize(*stored);
        if (registry.ReadValue(key, name, text.data(), text.size()) != text.size())
            return std::string();
    }
    text.resize(std::min(*stored, text.size()));
    return std::string(text.data(), text.size());
}

// The steps stored beside the assignments of one bank. Most banks hold their assignments alone, which
// their count of values tells in one call instead of a read for each value that is not there.
void ReadBankSteps(Registry& registry, Registry::Key bankKey, int bank, const StoredSubkey& subkey,
                   KeysetSteps& steps) {
    std::uint32_t assignments = 0;
    for (int control = 0; control < kControlCount; ++control)
        assignments += subkey.Has(AssignmentValue(bank, control)) ? 1 : 0;
    const std::optional<std::uint32_t> values = registry.CountValues(bankKey);
    if (values && *values <= assignments)
        return;
    for (int control = 0; control < kControlCount; ++control)
        steps.Set(bank, control, ReadStoredSteps(registry, bankKey, control));
}

// Writes that left the record where it was came from elsewhere: it lists nothing of them. Without the
// lock the record may be half a save's: it is not trusted either.
bool Unrecorded(const std::optional<KeysetChanges>& record, std::optional<std::uint64_t> before, bool locked) {
    return !locked || !record || (before && record->generation == *before);
}

} // namespace

void CKeysetRegistry::NoticeWrites() {
    KeysetLockGuard guard(lock_); // a save of ours ends before its record is looked at
    if (!watch_.Changed())
        return; // noticed already
    watch_.Arm(KeysetsPath());
    const RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    const RegKey keysets = RegKey::Open(registry_, root, kKeysetsKeyName);
    const std::optional<KeysetChanges> record = keysets ? ReadRecord(keysets.Get()) : std::nullopt;
    std::lock_guard<std::mutex> hold(noticesLock_);
    notices_.unrecorded = notices_.unrecorded || Unrecorded(record, notices_.generation, guard.Held());
    notices_.written = true;
    notices_.generation = record ? std::optional(record->generation) : std::nullopt;
}

CKeysetRegistry::Notices CKeysetRegistry::TakeNotices(const std::optional<KeysetChanges>& record) {
    std::lock_guard<std::mutex> hold(noticesLock_);
    const Notices seen = notices_;
    notices_ = Notices{false, false, record ? std::optional(record->generation) : std::nullopt};
    return seen;
}

bool CKeysetRegistry::Unchanged() {
    if (image_.root != root_ || watch_.Changed())
        return false;
    std::lock_guard<std::mutex> hold(noticesLock_);
    return !notices_.written;
}

void CKeysetRegistry::Refresh(Registry::Key keysetsKey, const StringSource& names, bool locked) {
    const bool written = watch_.Changed();
    watch_.Arm(KeysetsPath());
    if (!written && Unchanged())
        return;
    const std::optional<KeysetChanges> stored = ReadRecord(keysetsKey);
    Notices seen = TakeNotices(stored);
    seen.unrecorded = seen.unrecorded || (written && Unrecorded(stored, seen.generation, locked));
    const std::uint64_t known = image_.changes.generation;
    if (!seen.unrecorded && stored && image_.known && image_.root == root_ && stored->Covers(known)) {
        image_.changes = *stored;
        if (!ReadChanged(keysetsKey, *stored, known, names))
            ReadAll(keysetsKey, names, true);
        return;
    }
    ReadAll(keysetsKey, names, false);
    image_.known = stored.has_value();
    image_.changes = stored ? *stored : KeysetChanges();
}

void CKeysetRegistry::NoteOwnWrites() {
    watch_.Arm(KeysetsPath());
    std::lock_guard<std::mutex> hold(noticesLock_);
    notices_.generation = image_.known ? std::optional(image_.changes.generation) : std::nullopt;
}

std::optional<KeysetChanges> CKeysetRegistry::ReadRecord(Registry::Key keysetsKey) {
    std::vector<unsigned char> bytes(kChangesMaxBytes);
    const std::optional<std::size_t> size =
        registry_.ReadValue(keysetsKey, kChangesValueName, bytes.data(), bytes.size());
    if (!size || *size > bytes.size())
        return std::nullopt;
    return DecodeChanges(bytes.data(), *size);
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

void CKeysetRegistry::ReadAll(Registry::Key keysetsKey, const StringSource& names, bool recorded) {
    std::vector<StoredSubkey> seen;
    if (recorded && image_.root == root_)
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

StoreResult CKeysetRegistry::Glance(CKeysetStore& store) {
    KeysetLockGuard guard(lock_); // a save of the other program's ends first
    const RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    const RegKey keysets = RegKey::Open(registry_, root, kKeysetsKeyName);
    if (!keysets)
        return StoreResult::Failed(keysets.Status());
    const int current = store.GetCurrentIndex();
    std::vector<StoredSubkey> subkeys = GlanceHeaders(keysets.Get(), current <= 0, store.Names());
    ChooseTaken(subkeys);
    TakeList(subkeys, store);
    const int shown = current >= 0 && current < store.GetCount() ? current : 0;
    const std::string folded = textCase_.Fold(store.GetName(shown));
    for (StoredSubkey& subkey : subkeys) {
        if (!subkey.taken || subkey.foldedAppName != folded)
            continue;
        if (const RegKey keyset = RegKey::Open(registry_, keysets.Get(), subkey.name.c_str())) {
            ReadSubkey(keyset.Get(), subkey, store.Names());
            store.SetKeyset(shown, subkey.loaded);
            store.SetRule(shown, subkey.rule);
            store.SetSteps(shown, subkey.steps);
        }
        break;
    }
    return StoreResult();
}

std::vector<StoredSubkey> CKeysetRegistry::GlanceHeaders(Registry::Key keysetsKey, bool defaultShown,
                                                         const StringSource& names) {
    const auto headersOf = [&](const std::vector<std::string>& subkeyNames) {
        std::vector<StoredSubkey> subkeys;
        for (const std::string& name : subkeyNames) {
            const RegKey keyset = RegKey::Open(registry_, keysetsKey, name.c_str());
            if (!keyset)
                continue;
            subkeys.emplace_back();
            subkeys.back().name = name;
            subkeys.back().folded = textCase_.Fold(name);
            ReadSubkey(keyset.Get(), subkeys.back(), names, false);
        }
        return subkeys;
    };
    // "Default" shown: its own subkey is the one a load takes for it, and the load puts it first.
    if (defaultShown) {
        std::vector<StoredSubkey> alone = headersOf({kDefaultKeysetName});
        if (alone.size() == 1 && alone[0].HasHeader() &&
            ReadField(alone[0].loaded.header.appName) == kDefaultKeysetName)
            return alone;
    }
    std::vector<std::string> subkeyNames;
    SubkeyNames(registry_, keysetsKey, subkeyNames);
    return headersOf(subkeyNames);
}

void CKeysetRegistry::ReadSubkey(Registry::Key keysetKey, StoredSubkey& subkey, const StringSource& names, bool whole) {
    subkey.present = 0;
    std::memset(&subkey.stored, 0, sizeof subkey.stored);
    subkey.steps = KeysetSteps();
    for (int field = 0; whole && field < kRuleFieldCount; ++field)
        RuleField(subkey.rule, field) = ReadRuleText(registry_, keysetKey, kRuleValueNames[field]);
    subkey.rule = Bounded(subkey.rule);
    if (!ReadStoredValue(registry_, keysetKey, kHeaderValue, subkey.stored))
        return; // no identity: not a keyset, and its banks are left as they are
    subkey.present |= 1u << kHeaderValue;
    for (int bank = 0; whole && bank < kBankCount; ++bank) {
        // A missing bank subkey is made, empty, as every load of the store has always done.
        RegKey bankKey = RegKey::Create(registry_, keysetKey, kBankKeyNames[bank]);
        for (int control = 0; bankKey && control < kControlCount; ++control) {
            const int value = AssignmentValue(bank, control);
            if (ReadStoredValue(registry_, bankKey.Get(), value, subkey.stored))
                subkey.present |= 1u << value;
        }
        if (bankKey)
            ReadBankSteps(registry_, bankKey.Get(), bank, subkey, subkey.steps);
    }
    DeriveLoaded(subkey, names);
    subkey.foldedAppName = textCase_.Fold(ReadField(subkey.loaded.header.appName));
}

} // namespace qvl
