// What the commands on all keysets at once need from the editor's windows beyond the keyset commands'
// questions and messages: the file dialogs for collections, the question about a name already in the
// list, the list of backups and the question before a restore. The editor's windows (editor/views)
// answer with dialogs; tests answer from a script.
#pragma once

#include "editor/app/import_plan.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qvl {

class CollectionUi {
public:
    CollectionUi() = default;
    CollectionUi(const CollectionUi&) = delete;
    CollectionUi& operator=(const CollectionUi&) = delete;
    virtual ~CollectionUi() = default;

    // The collection to write every keyset into; nothing when the user cancelled.
    virtual std::optional<std::string> ChooseCollectionToExport() = 0;
    // A collection or a keyset file to import.
    virtual std::optional<std::string> ChooseKeysetsToImport() = 0;
    // What to do with the imported keyset called `name`, whose name the list holds already; nothing
    // when the user cancelled the import.
    virtual std::optional<ConflictAnswer> AskConflict(const std::string& name) = 0;
    // Which of the backups to restore (`choices` as shown, newest first); nothing when cancelled.
    virtual std::optional<std::size_t> ChooseBackup(const std::vector<std::string>& choices) = 0;
    // Ask the question of string `stringId` with "%1" replaced by `argument`; true for Yes.
    virtual bool AskYesNo(unsigned stringId, const std::string& argument) = 0;
};

} // namespace qvl
