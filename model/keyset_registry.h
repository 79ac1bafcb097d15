// Loads and saves the keyset list in the registry of the current user:
//
//   Software\Vendrake Electronics\QVL2
//     Keysets\<appName>             "AppPref" (44 bytes)
//                                   "MatchProgram" "MatchTitle" "MatchClass" (text, each optional: the
//                                   keyset's window rule, model/window_rule.h)
//       MainBank, Option Bank, Shift Bank, Option+Shift Bank
//                                   "Play" "Stop" "FF" "RR" "Record" "CCWheel" "CWheel" (380 bytes each)
//                                   "Play Steps" "Play Release" "Play Repeat" ... (each optional: the
//                                   control's steps, model/stored_steps.h)
//     Settings                      "Prefs" (8 bytes; model/prefs_storage.h)
//
// All values but the rule's and the steps' are binary copies of the records. The subkey name only finds a keyset; its
// identity is the name inside "AppPref".
//
// Each program keeps one CKeysetRegistry beside its keyset store for as long as the store lives: it
// holds what the program last saw of the stored keysets (the image), so that a save writes only the
// values that differ and deletes only the keysets that left the list, after every write (at no moment
// is a keyset that stays missing, and each value is the old or the new one), and a load gives the list
// a whole read would, reading again only what changed. Both rest on values that the writers of this
// program keep beside the records: "Changes" under "Keysets" (the generation and the subkeys recent
// saves touched) and "Generation" in each keyset's subkey (the generation of its last write). Programs
// that do not know them ignore them, and their whole rewrite removes them, which makes the next load
// here read everything again.
//
// The record is never trusted alone: others write keysets too (a .reg file imported, a script, a
// person with regedit, an older version of either program), and they keep no record. The registry's
// own change notification on "Keysets" and its subtree (KeysetWatch) tells each program of every
// burst of writes as it happens, on the watch's thread; the program then takes the lock (so that a
// save of ours has ended), arms the watch again and looks at the record: moved on since it last
// looked, the writes were one of our saves, which the record names; not moved (or missing, or
// damaged), somebody else wrote. A reload then reads nothing at all when nobody wrote, the subkeys the
// record names when only our writers did, and every keyset when anybody else did.
//
// Our own writes fire our own watch too: a writer arms its watch again right after its writes, still
// holding the lock, so its own saves cost it no reread. What is left open: an outside write that
// lands while one of our programs saves (between the start of its save and its last write, while the
// other program's watch waits for the lock), or in the moment between a save of ours and the other
// program's watch looking at it, is taken for part of that save and read only with the next outside
// write or full read. Closing that would take a full read after every save of ours, that is after
// every edit in the editor's panel.
#pragma once

#include "model/keyset_image.h"
#include "model/keyset_lock.h"
#include "model/keyset_store.h"
#include "model/keyset_watch.h"
#include "model/keyset_write_plan.h"
#include "model/registry.h"
#include "model/shared_names.h"
#include "model/store_result.h"
#include "model/text_case.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace qvl {

constexpr const char* kKeysetsKeyName = "Keysets";
constexpr const char* kDefaultKeysetName = "Default";
// The writers' records, see above: "Changes" under "Keysets", 8 bytes of "Generation" in each keyset.
constexpr const char* kChangesValueName = "Changes";
constexpr const char* kGenerationValueName = "Generation";

// What the stored keysets are reached through: the registry, the lock shared with the other program,
// the rule by which two keyset names are one, and this program's watch on "Keysets".
struct KeysetStorage {
    Registry& registry;
    KeysetLock& lock;
    const TextCase& textCase;
    KeysetWatch& watch;
};

class CKeysetRegistry {
public:
    explicit CKeysetRegistry(KeysetStorage storage);
    ~CKeysetRegistry();
    CKeysetRegistry(const CKeysetRegistry&) = delete;
    CKeysetRegistry& operator=(const CKeysetRegistry&) = delete;

    // Remember `path` as the root (it starts as kStoreRootPath); 1 when that key exists, else 0.
    int SetRootPath(const char* path);
    // Whether "Keysets" exists under the root; nothing else is read.
    bool HasKeysets() const;

    // Replace `store`'s list with the stored keysets, "Default" first. Failed, with the list unchanged,
    // when the root or "Keysets" cannot be opened. A load goes on without the lock when the other
    // program holds it too long: what it reads then is what is stored, and anything that moves under
    // it is read again the next time.
    StoreResult LoadAll(CKeysetStore& store);
    // A first look for a window that must show one keyset soon: the keyset the current index names
    // (else "Default") as a load gives it, in the list a load would give with every other keyset's
    // name and header only (no rule, a new keyset's banks); when "Default" is shown, it alone. Leaves
    // the image alone, so the load that must follow reads everything; such a list is never to be
    // saved. Failed, with the list unchanged, as LoadAll.
    StoreResult Glance(CKeysetStore& store);
    // Make the stored keysets those of `store`'s list; the list is then put in the order a load gives.
    // Done when every write needed was made; without the lock nothing is written.
    StoreResult SaveAll(CKeysetStore& store);
    // What StoreOne writes of an assignment: its record's value, or its steps' values.
    enum class Part { kAssignment, kSteps };
    // Write one assignment of keyset `index` of `store` (its value, or those of its steps that changed),
    // and the generations; without the lock nothing is written. Nothing when that keyset has no subkey
    // of its own yet (a save writes it).
    std::optional<StoreResult> StoreOne(const CKeysetStore& store, int index, int bank, int control,
                                        Part part = Part::kAssignment);

    // Forget what was last seen: the next load reads every keyset (a whole rewrite by another writer).
    void Forget() { image_ = StoredKeysets(); }

    // Somebody wrote under "Keysets": note whether the record of our writers accounts for it. The
    // watch's thread calls this as writes happen.
    void NoticeWrites();

private:
    // Reading (keyset_registry_read.cpp). What the watch told since the last read, and the record's
    // generation when the program last looked (nothing: there was none).
    struct Notices {
        bool written = false;
        bool unrecorded = false;
        std::optional<std::uint64_t> generation;
    };
    // A save of ours wrote: its writes are in the image and the record, and the watch starts again.
    void NoteOwnWrites();
    // What the watch told since the last read; from now on the record as this read found it counts.
    Notices TakeNotices(const std::optional<KeysetChanges>& record);
    // Whether the image is still what is stored: it was read from this root and nobody wrote since.
    bool Unchanged();
    // Bring the image of "Keysets" up to date, as the comment at the top says.
    void Refresh(Registry::Key keysetsKey, const StringSource& names, bool locked);
    std::optional<KeysetChanges> ReadRecord(Registry::Key keysetsKey);
    // Read again the subkeys that the saves after generation `seen` touched; false when the image
    // cannot be brought up to date that way.
    bool ReadChanged(Registry::Key keysetsKey, const KeysetChanges& stored, std::uint64_t seen,
                     const StringSource& names);
    // List the subkeys and read them; with `recorded`, a subkey whose generation is the one last seen
    // is taken as it was (only our writers wrote, and they move it).
    void ReadAll(Registry::Key keysetsKey, const StringSource& names, bool recorded);
    std::string KeysetsPath() const { return root_ + "\\" + kKeysetsKeyName; }
    // The subkey's header, and when `whole` its rule and assignments.
    void ReadSubkey(Registry::Key keysetKey, StoredSubkey& subkey, const StringSource& names, bool whole = true);
    // The subkeys a first look reads the headers of: just "Default" when it is shown and has its own
    // subkey (the load puts it first), else every one.
    std::vector<StoredSubkey> GlanceHeaders(Registry::Key keysetsKey, bool defaultShown, const StringSource& names);

    // Writing (keyset_registry_write.cpp): carry out a plan, deletes after every write.
    StoreResult Apply(Registry::Key keysetsKey, const WritePlan& plan, const StringSource& names);
    // Move the change record under "Keysets" on to a new generation that lists `touched` (and made new
    // subkeys when `added`), before anything else is written; failed, with nothing written, when it
    // cannot be.
    RegStatus RecordChanges(Registry::Key keysetsKey, const std::vector<std::string>& touched, bool added,
                            std::uint64_t& generation);
    StoreResult WriteKeyset(Registry::Key keysetsKey, const PlannedKeyset& planned, std::uint64_t generation,
                            const StringSource& names);
    StoreResult WriteValues(const RegKey& keyset, const PlannedKeyset& planned, StoredSubkey& subkey);
    StoreResult WriteRule(Registry::Key keysetsKey, const RegKey& keyset, const PlannedKeyset& planned,
                          StoredSubkey& subkey);
    StoreResult WriteSteps(const RegKey& keyset, const PlannedKeyset& planned, StoredSubkey& subkey);
    // Put the image's subkeys in the registry's enumeration order again after new ones were made.
    void ReorderByEnumeration(Registry::Key keysetsKey);

    // The list (keyset_registry.cpp): the store's list from the image, as a whole load makes it; the
    // store's list sorted into the image's load order, the current index following its keyset.
    void TakeLoadedList(CKeysetStore& store) const { TakeList(image_.subkeys, store); }
    static void TakeList(const std::vector<StoredSubkey>& subkeys, CKeysetStore& store);
    void PutInLoadOrder(CKeysetStore& store) const;

    Registry& registry_;
    KeysetLock& lock_;
    const TextCase& textCase_;
    KeysetWatch& watch_;
    std::string root_ = kStoreRootPath;
    StoredKeysets image_;
    std::mutex noticesLock_; // the watch's thread notes, the program's reads take
    Notices notices_;
};

// The start-up load: the stored keysets when there are any, else just a new "Default" and current
// index 0. Writes nothing; callers save afterwards.
void LoadOrCreate(CKeysetStore& store, CKeysetRegistry& registry);
// The same with a first look (CKeysetRegistry::Glance) instead of the load: for a first paint, to be
// followed by LoadOrCreate.
void GlanceOrCreate(CKeysetStore& store, CKeysetRegistry& registry);

// Whether a keyset called `name` can live in a subkey of its own and be loaded back from it: not empty,
// no backslash (it would make a path), and short enough for its field with the terminating NUL.
bool IsStorableKeysetName(std::string_view name);

// The one save of the list: write the store to the registry, then, when that worked, raise
// keysetsChanged so the other program (and the driver itself, at its next event) reloads. The driver
// saves this way at start-up and when the user accepts a new click window. The list ends up in the
// order a load gives, with the current index on the same keyset.
StoreResult SaveAllKeysets(CKeysetStore& store, CKeysetRegistry& registry);

// The reload after keysetsChanged or on the editor's focus: exactly what a whole load gives, reading
// only what changed. Failed, with the list unchanged, when nothing is stored.
StoreResult ReloadAllKeysets(CKeysetStore& store, CKeysetRegistry& registry);

// Write assignment `control` of bank `bank` of keyset `index` to the registry, just that value, then
// raise keysetsChanged. A keyset that is not stored yet is saved whole. Failed when it could not be
// written (no such keyset or assignment, a name that cannot be stored, a failing registry, no lock).
StoreResult StoreAssignment(CKeysetStore& store, CKeysetRegistry& registry, int index, int bank, int control);

// The same for the steps of that assignment: the values of its fields that differ from what is stored
// are written (or deleted, for a field cleared), and nothing when none differs.
StoreResult StoreSteps(CKeysetStore& store, CKeysetRegistry& registry, int index, int bank, int control);

} // namespace qvl
