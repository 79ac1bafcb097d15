// The editor's only document: the set of keysets, with the keyset commands of the File and Edit
// menus. The commands themselves live in KeysetCommands; the document answers their questions with
// message boxes and file dialogs and keeps the Keysets menu and the views in step.
#pragma once

#include "editor/app/collection_parts.h"
#include "editor/app/keyset_commands.h"
#include "editor/app/text_commands.h"
#include "framework/document.h"

#include <string>

namespace qvl {

class CEditorApp;

class CQVLsetDoc : public framework::Document, private KeysetUi {
public:
    explicit CQVLsetDoc(CEditorApp& app);

    // Create the store with a first look at the stored keysets, enough for the panel's first paint
    // (or with "Default" alone when none are stored).
    bool OnNewDocument() override;
    // Load the keysets whole and save them, then show them; the editor calls this once the panel has
    // painted (nothing when it was done).
    void FinishLoad();
    // Import the keyset file at `path`; true when it was one.
    bool OnOpenDocument(const std::string& path) override;
    // Export the current keyset to `path`.
    bool OnSaveDocument(const std::string& path) override;
    // Save the keysets, then close the frame.
    void OnCloseDocument() override;

    StoreResult SaveKeysets() { return commands_.SaveKeysets(); }
    // The start's backup, once the panel has shown (unless a save made it already).
    void WriteStartBackup() { collections_.Commands().WriteStartBackup(); }
    // Read the list again for another writer's changes (editor/app/others_changes.h).
    void ReloadKeysets();
    std::optional<int> FindByName(const std::string& name) const { return commands_.FindByName(name); }
    void AddOrReplace(const KeysetRecord& record) { commands_.AddOrReplace(record); }
    void DeleteKeyset(int index) { commands_.DeleteKeyset(index); }
    void SetCurrent(int index) { commands_.SetCurrent(index); }
    bool FetchAssignment(ControlAssignment& assignment, int keyset, int bank, int control) const {
        return commands_.FetchAssignment(assignment, keyset, bank, control);
    }
    void RebuildKeysetsMenu() { commands_.RebuildKeysetsMenu(); }
    CKeysetStore* GetStore() const { return commands_.Store(); }
    KeysetCommands& Commands() { return commands_; }
    const KeysetCommands& Commands() const { return commands_; }

private:
    // The menu commands, each after another writer's changes came in (the constructor).
    void NewKeyset();
    void NewFromTemplate();
    void ImportKeyset();
    void ExportKeyset();
    void CopyKeyset();
    void PasteKeyset();
    void ClearKeyset();
    void DeleteCurrentKeyset();
    void ExportAll();
    void ImportKeysets();
    void RestoreFromBackup();
    void EditWindowRule();

    bool AskYesNo(unsigned stringId) override;
    void Tell(unsigned stringId, const std::string& argument) override;
    void Tell(unsigned stringId, const std::string& argument, const std::string& second) override;
    void TellStoreFailure(unsigned stringId, const StoreResult& failed) override;
    std::optional<std::string> ChooseTargetProgram() override;
    std::optional<std::string> ChooseFileToImport() override;
    std::optional<std::string> ChooseFileToExport(const std::string& proposedName) override;
    void ClearKeysetsMenu() override;
    void AppendKeysetMenuItem(const std::string& name) override;
    void UpdateAllViews() override { Document::UpdateAllViews(nullptr); }

    CEditorApp& app_;
    KeysetCommands commands_;
    CollectionParts collections_; // all keysets at once, and the backups
    TextCommands text_;           // keysets as text and the templates, around the other two
};

} // namespace qvl
