// The whole-list operations: loads, saves and the store of one assignment, each under the lock.
#include "model/keyset_registry.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

namespace qvl {

namespace {

// Both programs treat index 0 as "Default", while the registry lists subkeys in its own order.
void PutDefaultFirst(CKeysetStore& store) {
    const std::optional<int> found = store.Find(kDefaultKeysetName);
    if (found == 0)
        return;
    std::unique_ptr<KeysetRecord> record = std::make_unique<KeysetRecord>();
    WindowRule rule;
    KeysetSteps steps;
    if (found) {
        *record = *store.GetKeyset(*found);
        rule = store.GetRule(*found);
        steps = store.GetSteps(*found);
        store.RemoveAt(*found);
    } else {
        InitKeyset(*record, kDefaultKeysetName, 0, store.Names());
    }
    store.InsertAt(0, *record, rule, steps);
}

constexpr long kInvalidParameter = 87; // the system's code for a call with a wrong argument

// The list as a save sees it: the keysets whose names can be stored, folded as the registry compares.
std::vector<ListedKeyset> ListForSave(const CKeysetStore& store, const TextCase& textCase,
                                      std::vector<KeysetRecord>& records) {
    records.clear();
    records.reserve(static_cast<std::size_t>(store.GetCount())); // the list points into it
    for (int index = 0; index < store.GetCount(); ++index)
        records.push_back(*store.GetKeyset(index));
    std::vector<ListedKeyset> list;
    for (std::size_t index = 0; index < records.size(); ++index) {
        std::string name = ReadField(records[index].header.appName);
        if (IsStorableKeysetName(name))
            list.push_back(ListedKeyset{name, textCase.Fold(name), &records[index],
                                        store.GetRule(static_cast<int>(index)),
                                        store.GetSteps(static_cast<int>(index))});
    }
    return list;
}

} // namespace

bool IsStorableKeysetName(std::string_view name) {
    return !name.empty() && name.size() < sizeof(AppPref::appName) && name.find('\\') == std::string_view::npos;
}

CKeysetRegistry::CKeysetRegistry(KeysetStorage storage)
    : registry_(storage.registry), lock_(storage.lock), textCase_(storage.textCase), watch_(storage.watch) {
    watch_.OnWritten([this] { NoticeWrites(); });
}

CKeysetRegistry::~CKeysetRegistry() {
    watch_.OnWritten(nullptr);
}

int CKeysetRegistry::SetRootPath(const char* path) {
    root_ = path;
    return RegKey::Open(registry_, Registry::kCurrentUser, path) ? 1 : 0;
}

bool CKeysetRegistry::HasKeysets() const {
    const RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    return static_cast<bool>(RegKey::Open(registry_, root.Get(), kKeysetsKeyName));
}

StoreResult CKeysetRegistry::LoadAll(CKeysetStore& store) {
    KeysetLockGuard guard(lock_);
    if (Unchanged()) {
        TakeLoadedList(store); // what was last read is what is stored: nothing to read
        return StoreResult();
    }
    const RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    const RegKey keysets = RegKey::Open(registry_, root, kKeysetsKeyName);
    if (!keysets)
        return StoreResult::Failed(keysets.Status());
    Refresh(keysets.Get(), store.Names(), guard.Held());
    TakeLoadedList(store);
    return StoreResult();
}

void CKeysetRegistry::TakeList(const std::vector<StoredSubkey>& subkeys, CKeysetStore& store) {
    store.RemoveAll();
    for (const StoredSubkey& subkey : subkeys)
        if (subkey.taken)
            store.Add(subkey.loaded, subkey.rule, subkey.steps);
    PutDefaultFirst(store);
}

StoreResult CKeysetRegistry::SaveAll(CKeysetStore& store) {
    KeysetLockGuard guard(lock_);
    if (!guard.Held())
        return StoreResult::NotLocked();
    const RegKey root = RegKey::Create(registry_, Registry::kCurrentUser, root_.c_str());
    const RegKey keysets = RegKey::Create(registry_, root, kKeysetsKeyName);
    if (!keysets)
        return StoreResult::Failed(keysets.Status());
    Refresh(keysets.Get(), store.Names(), true);
    std::vector<KeysetRecord> records;
    const WritePlan plan = PlanWrites(ListForSave(store, textCase_, records), image_);
    const StoreResult written = Apply(keysets.Get(), plan, store.Names());
    PutInLoadOrder(store);
    return written;
}

void CKeysetRegistry::PutInLoadOrder(CKeysetStore& store) const {
    std::vector<std::string> order; // folded names in load order
    for (const StoredSubkey& subkey : image_.subkeys)
        if (subkey.taken)
            order.push_back(subkey.foldedAppName);
    const int count = store.GetCount();
    std::vector<std::size_t> rank(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const std::string folded = textCase_.Fold(store.GetName(index));
        rank[static_cast<std::size_t>(index)] =
            static_cast<std::size_t>(std::find(order.begin(), order.end(), folded) - order.begin());
    }
    std::vector<int> moved(static_cast<std::size_t>(count));
    std::iota(moved.begin(), moved.end(), 0);
    // "Default" stays in front of the registry's order, as a load puts it.
    const int first = store.NameEquals(0, kDefaultKeysetName) ? 1 : 0;
    std::stable_sort(moved.begin() + std::min(first, count), moved.end(), [&](int a, int b) {
        return rank[static_cast<std::size_t>(a)] < rank[static_cast<std::size_t>(b)];
    });
    if (std::is_sorted(moved.begin(), moved.end()))
        return;
    std::vector<KeysetRecord> records;
    std::vector<WindowRule> rules;
    std::vector<KeysetSteps> steps;
    records.reserve(moved.size());
    for (int from : moved) {
        records.push_back(*store.GetKeyset(from));
        rules.push_back(store.GetRule(from));
        steps.push_back(store.GetSteps(from));
    }
    for (int index = 0; index < count; ++index) {
        const auto slot = static_cast<std::size_t>(index);
        store.SetKeyset(index, records[slot]);
        store.SetRule(index, rules[slot]);
        store.SetSteps(index, steps[slot]);
    }
    const auto at = std::find(moved.begin(), moved.end(), store.GetCurrentIndex());
    if (at != moved.end())
        store.SetCurrentIndex(static_cast<int>(at - moved.begin()));
}

std::optional<StoreResult> CKeysetRegistry::StoreOne(const CKeysetStore& store, int index, int bank, int control,
                                                     Part part) {
    const std::optional<KeysetRecord> record = store.GetKeyset(index);
    const std::string name = store.GetName(index);
    if (!record || !IsAssignmentIndex(bank, control) || !IsStorableKeysetName(name))
        return StoreResult::Failed(RegStatus::Error(kInvalidParameter));
    KeysetLockGuard guard(lock_);
    if (!guard.Held())
        return StoreResult::NotLocked();
    const RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    const RegKey keysets = RegKey::Open(registry_, root, kKeysetsKeyName);
    if (!keysets)
        return std::nullopt;
    Refresh(keysets.Get(), store.Names(), true);
    const StoredSubkey* subkey = image_.Find(textCase_.Fold(name));
    if (subkey == nullptr || !subkey->taken || subkey->foldedAppName != subkey->folded)
        return std::nullopt;
    // The plan of a save whose list differs from the image in this one assignment.
    PlannedKeyset planned;
    planned.subkey = subkey->name;
    planned.folded = subkey->folded;
    planned.record = subkey->loaded;
    planned.rule = subkey->rule;
    planned.steps = subkey->steps;
    if (part == Part::kAssignment) {
        AssignmentAt(planned.record, bank, control) = AssignmentAt(*record, bank, control);
        planned.values = {AssignmentValue(bank, control)};
    } else {
        planned.steps.Set(bank, control, store.GetAssignmentSteps(index, bank, control));
        PlanStepsValues(&subkey->steps, planned.steps, bank, control, planned.stepsValues);
        if (planned.stepsValues.empty())
            return StoreResult(); // stored already
    }
    WritePlan plan;
    plan.touched = {planned.subkey};
    plan.writes.push_back(std::move(planned));
    return Apply(keysets.Get(), plan, store.Names());
}

namespace {

// "Keysets" may also have vanished between the check and the load.
void AddDefaultIfEmpty(CKeysetStore& store) {
    if (store.GetCount() != 0)
        return;
    store.SetCurrentIndex(0);
    std::unique_ptr<KeysetRecord> record = std::make_unique<KeysetRecord>();
    InitKeyset(*record, kDefaultKeysetName, 0, store.Names());
    store.Add(*record);
}

} // namespace

void LoadOrCreate(CKeysetStore& store, CKeysetRegistry& registry) {
    store.RemoveAll();
    if (registry.HasKeysets())
        registry.LoadAll(store);
    AddDefaultIfEmpty(store);
}

void GlanceOrCreate(CKeysetStore& store, CKeysetRegistry& registry) {
    store.RemoveAll();
    if (registry.HasKeysets())
        registry.Glance(store);
    AddDefaultIfEmpty(store);
}

StoreResult SaveAllKeysets(CKeysetStore& store, CKeysetRegistry& registry) {
    const StoreResult saved = registry.SaveAll(store);
    if (saved.Done())
        store.Shared().SetKeysetsChanged(1); // after the save: whoever sees the flag finds the new keysets
    return saved;
}

StoreResult ReloadAllKeysets(CKeysetStore& store, CKeysetRegistry& registry) {
    return registry.LoadAll(store);
}

namespace {

StoreResult StorePart(CKeysetStore& store, CKeysetRegistry& registry, int index, int bank, int control,
                      CKeysetRegistry::Part part) {
    std::optional<StoreResult> stored = registry.StoreOne(store, index, bank, control, part);
    // A keyset that has no subkey yet (or shares one with another name) is written by a save.
    if (!stored)
        stored = registry.SaveAll(store);
    if (stored->Done())
        store.Shared().SetKeysetsChanged(1);
    return *stored;
}

} // namespace

StoreResult StoreAssignment(CKeysetStore& store, CKeysetRegistry& registry, int index, int bank, int control) {
    return StorePart(store, registry, index, bank, control, CKeysetRegistry::Part::kAssignment);
}

StoreResult StoreSteps(CKeysetStore& store, CKeysetRegistry& registry, int index, int bank, int control) {
    return StorePart(store, registry, index, bank, control, CKeysetRegistry::Part::kSteps);
}

} // namespace qvl
