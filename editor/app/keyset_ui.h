// What the keyset commands need from the editor's windows: questions, file choices, the Keysets
// menu and the views. The editor's document answers with message boxes and file dialogs; tests
// answer from a script.
#pragma once

#include "model/store_result.h"

#include <optional>
#include <string>

namespace qvl {

class KeysetUi {
public:
    KeysetUi() = default;
    KeysetUi(const KeysetUi&) = delete;
    KeysetUi& operator=(const KeysetUi&) = delete;
    virtual ~KeysetUi() = default;

    // Ask the question of string `stringId` with Yes and No; true for Yes.
    virtual bool AskYesNo(unsigned stringId) = 0;
    // Tell the user the text of string `stringId` with "%1" replaced by `argument`.
    virtual void Tell(unsigned stringId, const std::string& argument) = 0;
    // The same with "%2" replaced by `second`.
    virtual void Tell(unsigned stringId, const std::string& argument, const std::string& second) = 0;
    // Tell the user the text of string `stringId` with "%1" replaced by why `failed` failed, in the
    // system's words (or the program's, for a lock not had).
    virtual void TellStoreFailure(unsigned stringId, const StoreResult& failed) = 0;

    // The target program of a new keyset (an ".exe" file); nothing when the user cancelled.
    virtual std::optional<std::string> ChooseTargetProgram() = 0;
    // A keyset file to import, or the name to export to (proposing `proposedName`).
    virtual std::optional<std::string> ChooseFileToImport() = 0;
    virtual std::optional<std::string> ChooseFileToExport(const std::string& proposedName) = 0;

    // The Keysets menu: empty it, or append the item of the next keyset in the list.
    virtual void ClearKeysetsMenu() = 0;
    virtual void AppendKeysetMenuItem(const std::string& name) = 0;
    // Show the document again in every view.
    virtual void UpdateAllViews() = 0;
};

} // namespace qvl
