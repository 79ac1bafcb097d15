// The keyset document's commands and the keyset-list operations behind them: new keysets for a
// target program, import and export of keyset files, copy, paste, clear and delete, and the Keysets
// menu kept in step with the list. Every change is saved to the registry at once and announced to
// the driver through keysetsChanged; only a paste waits for the next save.
//
// A save that fails is told once, with the system's reason, and not again for every further failing
// edit until a save works again. What it did not write (the pasted keyset, the changed assignment)
// stays in the list; the next change saves the whole list, and a reload, which would replace the list
// with what is stored, waits until a save has worked.
//
// Registry key names ignore case, so two keysets whose names differ only in case would share one
// stored key, and the later one would overwrite the other at the next save. A new or imported
// keyset whose name equals a stored one ignoring case is therefore that keyset: the user is asked
// whether to replace it, and the replaced keyset keeps its name and its place ("Default" stays
// "Default", at index 0).
#pragma once

#include "editor/app/keyset_ui.h"
#include "model/keyset_file.h"
#include "model/keyset_registry.h"
#include "model/text_case.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qvl {

// Strings of the editor's string table that the commands use.
constexpr unsigned kDeleteQuestionId = 61278;          // "The current keyset will be deleted. Are you sure?"
constexpr unsigned kImportReplaceQuestionId = 61279;   // "The keyset you are about to import has the same ..."
constexpr unsigned kNewReplaceQuestionId = 61280;      // "The keyset you are about to create has the same ..."
constexpr unsigned kNameTooLongMessageId = 62001;      // a program name that does not fit a keyset name
constexpr unsigned kNotAKeysetFileMessageId = 62020;   // "This is not a valid QVL2 file. "
constexpr unsigned kFileNotReadMessageId = 62021;      // "The file "%1" could not be read.%2"
constexpr unsigned kFileNotWrittenMessageId = 62022;   // "The file "%1" could not be written.%2"
constexpr unsigned kFileStepsDamagedMessageId = 62023; // "The file "%1" was not imported: the steps ..."
constexpr unsigned kKeysetsNotSavedMessageId = 62030;  // "Your keysets could not be saved: %1. ..."

class KeysetCommands {
public:
    // `names` is the editor's string table (control names of new keysets).
    KeysetCommands(CSharedInfo& shared, const StringSource& names, KeysetStorage storage, KeysetUi& ui,
                   const TextCase& textCase);
    KeysetCommands(const KeysetCommands&) = delete;
    KeysetCommands& operator=(const KeysetCommands&) = delete;

    // A new document: a new store with a first look at the stored keysets, enough to show the current
    // one (GlanceOrCreate); nothing is written until FinishLoad, and the commands are for after it.
    CKeysetStore& NewDocument();
    // Load the list whole and save it at once, unless that was done: false then. The save raises
    // keysetsChanged when it works, which has the driver select again. The editor does this once its
    // panel has painted; a save or an edit before that does it first, so a list of first looks is never
    // saved, and a reload before it reads nothing (this load reads everything).
    bool FinishLoad();
    bool LoadPending() const { return loadPending_; }
    // Null before NewDocument.
    CKeysetStore* Store() const { return store_.get(); }

    // List operations.
    // Store the list in the registry (what changed of it), then raise keysetsChanged.
    StoreResult SaveKeysets();
    // Read the list again from the registry. What the list holds that is not stored yet (a paste, a
    // failed write) is saved first, so the reload cannot throw it away; if that fails, the list stays.
    StoreResult ReloadKeysets();
    // The keyset named exactly `name` among indexes 1 and up; nothing when there is none.
    std::optional<int> FindByName(const std::string& name) const;
    // The keyset whose name equals `name` ignoring case, "Default" included; nothing when there is none.
    std::optional<int> FindSameTarget(const std::string& name) const;
    // Replace the keyset that `record` names (it keeps its own name) or add `record` where a load
    // would put it, with `steps` (a replaced keyset's go); make it current, save, and show it. A keyset
    // replaced keeps its window rule unless `rule` gives one (an empty one: none).
    void AddOrReplace(const KeysetRecord& record, const std::optional<WindowRule>& rule = std::nullopt,
                      const KeysetSteps& steps = KeysetSteps());
    // Remove keyset `index` (not "Default"); a current keyset at or after it moves back by one.
    void DeleteKeyset(int index);
    void SetCurrent(int index);
    // The panel's edit: assignment (bank, control) of keyset `keyset` becomes `assignment` (a wheel
    // half gives the other half of its bank the fields the two share), and just what changed is
    // stored (the whole list when a paste or a failed write waits). A failed write is told once.
    // Failed, with nothing changed and nothing told, when the keyset has no such assignment.
    StoreResult PutAssignment(const ControlAssignment& assignment, int keyset, int bank, int control);
    // False, with `assignment` untouched, when the store has no such assignment.
    bool FetchAssignment(ControlAssignment& assignment, int keyset, int bank, int control) const;
    // The panel's edit of a control's steps: stored like PutAssignment's edit, just the values of the
    // fields that changed (the text is stored as given; the panel checks it first; a wheel direction
    // keeps its press steps alone). Failed, with nothing changed, when there is no such assignment.
    StoreResult PutSteps(const AssignmentSteps& steps, int keyset, int bank, int control);
    // The stored steps of a control; none when there is no such keyset.
    AssignmentSteps FetchSteps(int keyset, int bank, int control) const;
    void RebuildKeysetsMenu();
    // Called before Delete Keyset or Clear Keyset loses a keyset's assignments (the backups).
    void SetBeforeLoss(std::function<void()> beforeLoss) { beforeLoss_ = std::move(beforeLoss); }
    // Called when FinishLoad has loaded and saved the list (the start's backup keeps it).
    void SetAfterLoad(std::function<void()> afterLoad) { afterLoad_ = std::move(afterLoad); }
    // Called before each write of the list or of an assignment (the start's backup, kept after
    // FinishLoad's own save, is written before the next write).
    void SetBeforeWrite(std::function<void()> beforeWrite) { beforeWrite_ = std::move(beforeWrite); }
    // Keyset `index` as the Keysets menu and the overview name it: its name, and its window rule in
    // brackets when it has one ("browser - Video  [title: Video]").
    std::string KeysetCaption(int index) const;
    // Give keyset `index` (not "Default") the window rule `rule` and save: only the rule's values that
    // differ are written, a failure is told as every failed save, and the menu shows the rule.
    StoreResult SetRule(int index, const WindowRule& rule);

    // The commands.
    void NewKeyset();
    void ImportKeyset();
    void ExportKeyset();
    void CopyKeyset();
    void PasteKeyset();
    void ClearKeyset();
    void DeleteCurrentKeyset();
    // Import the keyset file at `path` (asking before a stored keyset is replaced); true when it was a
    // keyset file, whether or not the user let it replace one.
    bool ImportFile(const std::string& path);
    // Export the current keyset to `path`; true when the file was written.
    bool ExportFile(const std::string& path);
    // Tell the user why a keyset file could not be read or written; nothing when it was.
    void TellFileResult(const KeysetFileResult& result);

    // When the commands are available.
    bool CanExport() const { return CurrentIsUserKeyset(); }
    bool CanDelete() const { return CurrentIsUserKeyset(); }
    bool CanEditRule() const { return CurrentIsUserKeyset(); }
    bool CanPaste() const { return clipboard_ != nullptr; }
    bool HasUnsavedPaste() const { return unsavedPaste_; }

private:
    // The current index names a keyset other than "Default".
    bool CurrentIsUserKeyset() const;
    bool HasCurrentKeyset() const;
    // Note how a write went, and tell the user the first time a write fails.
    StoreResult Noted(const StoreResult& result);

    CSharedInfo& shared_;
    const StringSource& names_;
    CKeysetRegistry keysets_; // what is stored of the list, beside it
    KeysetUi& ui_;
    const TextCase& textCase_;
    std::unique_ptr<CKeysetStore> store_;
    // The keyset clipboard: made by the first Copy Keyset, kept until the program ends; the steps go
    // with the assignments.
    std::unique_ptr<KeysetRecord> clipboard_;
    KeysetSteps clipboardSteps_;
    bool loadPending_ = false; // the list holds NewDocument's first look only
    bool unsavedPaste_ = false;
    bool unwritten_ = false;   // a write failed: the list holds what the registry does not
    bool failureTold_ = false; // since the last write that worked
    std::function<void()> beforeLoss_;
    std::function<void()> beforeWrite_;
    std::function<void()> afterLoad_;
};

} // namespace qvl
