#include "editor/app/collection_parts.h"

#include <cstdlib>

namespace qvl {

std::string BackupsFolderPath() {
    const char* data = std::getenv("APPDATA");
    if (data == nullptr || *data == '\0')
        return std::string();
    return std::string(data) + "\\QVL2\\Backups";
}

CollectionParts::CollectionParts(KeysetCommands& commands, KeysetUi& ui, CollectionUi& dialogs,
                                 const TextCase& textCase)
    : folder_(BackupsFolderPath()), backups_(folder_, clock_), commands_(commands, ui, dialogs, backups_, textCase) {
    commands.SetBeforeLoss([this] { commands_.BackUp(); });
    commands.SetBeforeWrite([this] { commands_.WriteStartBackup(); });
    // A backup when the stored keysets differ from the newest one: kept at the load, written once the
    // panel has shown.
    commands.SetAfterLoad([this, &commands] { commands_.KeepStartBackup(*commands.Store()); });
}

} // namespace qvl
