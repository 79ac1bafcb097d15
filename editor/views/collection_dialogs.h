// The editor's answers to the commands on all keysets at once: the Open and Save As dialogs for
// collections, the question about an imported name already in the list (template IDD_IMPORT_CONFLICT),
// the list of backups (IDD_RESTORE_BACKUP) and message-box questions.
#pragma once

#include "editor/app/collection_ui.h"

namespace qvl {

class CEditorApp;

class CCollectionDialogs final : public CollectionUi {
public:
    explicit CCollectionDialogs(CEditorApp& app) : app_(app) {}

    std::optional<std::string> ChooseCollectionToExport() override;
    std::optional<std::string> ChooseKeysetsToImport() override;
    std::optional<ConflictAnswer> AskConflict(const std::string& name) override;
    std::optional<std::size_t> ChooseBackup(const std::vector<std::string>& choices) override;
    bool AskYesNo(unsigned stringId, const std::string& argument) override;

private:
    CEditorApp& app_;
};

} // namespace qvl
