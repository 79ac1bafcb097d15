// What the editor's document keeps for the commands on all keysets at once: the backups' folder
// (%APPDATA%\QVL2\Backups), the clock that names them, the backups and the commands, joined to the
// keyset commands so that a Delete Keyset or Clear Keyset backs the keysets up first.
#pragma once

#include "editor/app/collection_commands.h"
#include "model/backup_folder_files.h"

#include <string>

namespace qvl {

// The folder of the automatic backups: "QVL2\Backups" in the user's application data; empty when the
// system names none.
std::string BackupsFolderPath();

class CollectionParts {
public:
    CollectionParts(KeysetCommands& commands, KeysetUi& ui, CollectionUi& dialogs, const TextCase& textCase);
    CollectionCommands& Commands() { return commands_; }

private:
    FileBackupFolder folder_;
    SystemLocalClock clock_;
    CKeysetBackups backups_;
    CollectionCommands commands_;
};

} // namespace qvl
