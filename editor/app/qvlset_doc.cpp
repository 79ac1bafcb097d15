#include "editor/app/qvlset_doc.h"

#include "editor/app/editor_app.h"
#include "editor/app/editor_views.h"
#include "editor/app/others_changes.h"
#include "editor/res/resource.h"
#include "framework/file_dialog.h"
#include "framework/string_table.h"

namespace qvl {

// The commands name the strings they tell by their ids in the string table.
static_assert(kKeysetsNotSavedMessageId == IDS_KEYSETS_NOT_SAVED);

CQVLsetDoc::CQVLsetDoc(CEditorApp& app)
    : app_(app), commands_(*app.GetSharedInfo(), app.Strings(), app.Storage(), *this, app.Case()),
      collections_(commands_, *this, app.CollectionDialogs(), app.Case()),
      text_(commands_, collections_.Commands(), *this, app.CollectionDialogs(), app.TextDialogs(), app.Codes(),
            app.Case()) {
    // A command that changes the list takes another writer's changes first, so that its save keeps them;
    // one on the current keyset does nothing when that keyset went meanwhile.
    const auto onList = [this](void (CQVLsetDoc::*command)()) {
        return [this, command] {
            TakeOthersChanges(commands_, *this);
            (this->*command)();
        };
    };
    const auto onCurrent = [this](void (CQVLsetDoc::*command)()) {
        return [this, command] {
            if (TakeOthersChanges(commands_, *this))
                (this->*command)();
        };
    };
    OnCommand(ID_NEW_KEYSET, onList(&CQVLsetDoc::NewKeyset));
    OnCommand(ID_NEW_FROM_TEMPLATE, onList(&CQVLsetDoc::NewFromTemplate));
    // Import and export know keysets as text beside the keyset files and collections.
    OnCommand(ID_IMPORT_KEYSET, onList(&CQVLsetDoc::ImportKeyset));
    OnCommand(ID_EXPORT_KEYSET, onCurrent(&CQVLsetDoc::ExportKeyset));
    OnUpdateCommand(ID_EXPORT_KEYSET, [this](framework::CommandUpdate& u) { u.Enable(commands_.CanExport()); });
    OnCommand(ID_COPY_KEYSET, onCurrent(&CQVLsetDoc::CopyKeyset));
    OnCommand(ID_PASTE_KEYSET, onCurrent(&CQVLsetDoc::PasteKeyset));
    OnUpdateCommand(ID_PASTE_KEYSET, [this](framework::CommandUpdate& u) { u.Enable(commands_.CanPaste()); });
    OnCommand(ID_CLEAR_KEYSET, onCurrent(&CQVLsetDoc::ClearKeyset));
    OnCommand(ID_DELETE_KEYSET, onCurrent(&CQVLsetDoc::DeleteCurrentKeyset));
    OnUpdateCommand(ID_DELETE_KEYSET, [this](framework::CommandUpdate& u) { u.Enable(commands_.CanDelete()); });
    OnCommand(ID_EXPORT_ALL_KEYSETS, onList(&CQVLsetDoc::ExportAll));
    OnCommand(ID_IMPORT_KEYSETS, onList(&CQVLsetDoc::ImportKeysets));
    OnCommand(ID_RESTORE_BACKUP, onList(&CQVLsetDoc::RestoreFromBackup));
    OnCommand(ID_WINDOW_RULE, onCurrent(&CQVLsetDoc::EditWindowRule));
    OnUpdateCommand(ID_WINDOW_RULE, [this](framework::CommandUpdate& u) { u.Enable(commands_.CanEditRule()); });
}

void CQVLsetDoc::NewKeyset() {
    commands_.NewKeyset();
}
void CQVLsetDoc::NewFromTemplate() {
    text_.NewFromTemplate();
}
void CQVLsetDoc::ImportKeyset() {
    text_.ImportKeyset();
}
void CQVLsetDoc::ExportKeyset() {
    text_.ExportKeyset();
}
void CQVLsetDoc::CopyKeyset() {
    commands_.CopyKeyset();
}
void CQVLsetDoc::PasteKeyset() {
    commands_.PasteKeyset();
}
void CQVLsetDoc::ClearKeyset() {
    commands_.ClearKeyset();
}
void CQVLsetDoc::DeleteCurrentKeyset() {
    commands_.DeleteCurrentKeyset();
}
void CQVLsetDoc::ExportAll() {
    text_.ExportAll();
}
void CQVLsetDoc::ImportKeysets() {
    text_.ImportKeysets();
}
void CQVLsetDoc::RestoreFromBackup() {
    collections_.Commands().RestoreFromBackup();
}
void CQVLsetDoc::EditWindowRule() {
    if (commands_.CanEditRule() && app_.Views() != nullptr)
        app_.Views()->RunWindowRule(commands_);
}

void CQVLsetDoc::ReloadKeysets() {
    TakeOthersChanges(commands_, *this);
}

bool CQVLsetDoc::OnNewDocument() {
    if (!Document::OnNewDocument())
        return false;
    if (CEditorTrace* trace = app_.Trace())
        trace->Glance();
    app_.SetStore(&commands_.NewDocument());
    return true;
}

void CQVLsetDoc::FinishLoad() {
    if (!commands_.LoadPending())
        return;
    if (CEditorTrace* trace = app_.Trace())
        trace->Load();
    commands_.FinishLoad();
    if (CEditorTrace* trace = app_.Trace())
        trace->Loaded(commands_.Store()->GetCount());
    commands_.RebuildKeysetsMenu();
    UpdateAllViews();
}

bool CQVLsetDoc::OnOpenDocument(const std::string& path) {
    return text_.ImportKeysetFrom(path);
}

bool CQVLsetDoc::OnSaveDocument(const std::string& path) {
    return commands_.ExportFile(path);
}

void CQVLsetDoc::OnCloseDocument() {
    commands_.SaveKeysets();
    Document::OnCloseDocument();
}

bool CQVLsetDoc::AskYesNo(unsigned stringId) {
    return app_.Boxes().Ask(framework::LoadResourceString(app_.Instance(), stringId));
}

void CQVLsetDoc::Tell(unsigned stringId, const std::string& argument) {
    const std::string text = framework::FormatResourceString(app_.Instance(), stringId, {argument});
    app_.Boxes().Show(text.c_str(), nullptr, MessageIcon::kWarning);
}

void CQVLsetDoc::Tell(unsigned stringId, const std::string& argument, const std::string& second) {
    const std::string text = framework::FormatResourceString(app_.Instance(), stringId, {argument, second});
    app_.Boxes().Show(text.c_str(), nullptr, MessageIcon::kWarning);
}

void CQVLsetDoc::TellStoreFailure(unsigned stringId, const StoreResult& failed) {
    app_.TellStoreFailure(stringId, failed);
}

std::optional<std::string> CQVLsetDoc::ChooseTargetProgram() {
    framework::FileDialogOptions options;
    options.owner = app_.GetMainHandle();
    options.title = framework::LoadResourceString(app_.Instance(), IDS_NEW_KEYSET_TITLE);
    options.filter = framework::LoadResourceString(app_.Instance(), IDS_TARGET_FILTER);
    return framework::ChooseFileToOpen(options);
}

std::optional<std::string> CQVLsetDoc::ChooseFileToImport() {
    framework::FileDialogOptions options;
    options.owner = app_.GetMainHandle();
    options.title = framework::LoadResourceString(app_.Instance(), IDS_IMPORT_KEYSET_TITLE);
    options.filter = framework::LoadResourceString(app_.Instance(), IDS_KEYSET_FILTER);
    return framework::ChooseFileToOpen(options);
}

std::optional<std::string> CQVLsetDoc::ChooseFileToExport(const std::string& proposedName) {
    framework::FileDialogOptions options;
    options.owner = app_.GetMainHandle();
    options.title = framework::LoadResourceString(app_.Instance(), IDS_EXPORT_KEYSET_TITLE);
    options.filter = framework::LoadResourceString(app_.Instance(), IDS_KEYSET_FILTER);
    options.defaultExtension = "qvl";
    options.fileName = proposedName;
    return framework::ChooseFileToSave(options);
}

void CQVLsetDoc::ClearKeysetsMenu() {
    app_.ClearKeysetsMenu();
}

void CQVLsetDoc::AppendKeysetMenuItem(const std::string& name) {
    app_.AppendKeysetMenuItem(name);
}

} // namespace qvl
