// The commands on all keysets at once: File, "Export All Keysets...", "Import Keysets..." (a
// collection or a single keyset file) and "Restore from Backup...", and the automatic backups: at the
// start when the keysets differ from the newest backup, and before an import, a restore, a Delete Keyset
// or a Clear Keyset. The start's backup does not hold up the start: the list is kept as it was loaded
// and written once the panel has shown, or before the first write of the list if that comes sooner.
// Each import or restore is one save of the list, so the driver hears of it once.
//
// A damaged file is refused whole and nothing changes. A backup that cannot be written never stops
// what the user asked for; the first failure of a session is told, the later ones are not.
#pragma once

#include "editor/app/collection_ui.h"
#include "editor/app/keyset_commands.h"
#include "model/keyset_backups.h"

#include <optional>
#include <string>
#include <vector>

namespace qvl {

// Strings of the editor's string table that these commands use.
constexpr unsigned kCollectionDamagedMessageId = 1770; // "This file is damaged and was not imported: %1"
constexpr unsigned kDamageNotKeysetsId = 1771;
constexpr unsigned kDamageVersionId = 1772;
constexpr unsigned kDamageEndsEarlyId = 1773;
constexpr unsigned kDamageCountId = 1774;
constexpr unsigned kDamageChecksumId = 1775;
constexpr unsigned kDamageRecordId = 1776;
constexpr unsigned kDamageStringId = 1777;
constexpr unsigned kDamageTooLargeId = 1778;
constexpr unsigned kDamageNameId = 1779;
constexpr unsigned kBackupFailedMessageId = 1780; // "Your keysets could not be backed up in %1: %2 ..."
constexpr unsigned kRestoreQuestionId = 1781;     // "... replaced by the backup of %1 ..."
constexpr unsigned kNoBackupsMessageId = 1782;    // "There are no backups in %1 yet."
constexpr unsigned kBackupChoiceId = 1783;        // "%1     %2 keysets"
constexpr unsigned kBackupReasonUnknownId = 1784; // "the backup file could not be put in its place"
constexpr unsigned kDamageStepsId = 62024;        // "the steps one of its keysets carries are damaged."

class CollectionCommands {
public:
    CollectionCommands(KeysetCommands& commands, KeysetUi& ui, CollectionUi& dialogs, CKeysetBackups& backups,
                       const TextCase& textCase);
    CollectionCommands(const CollectionCommands&) = delete;
    CollectionCommands& operator=(const CollectionCommands&) = delete;

    void ExportAll();
    void ImportKeysets();
    void RestoreFromBackup();
    // The same with the file chosen; true when it was written, imported or restored.
    bool ExportAllTo(const std::string& path);
    bool ImportFrom(const std::string& path);
    bool Restore(const BackupEntry& backup);

    // Back up the list unless the newest backup holds it already (before any loss).
    void BackUp();
    // The start's backup: keep the list `loaded` holds now, then write it (unless the newest backup
    // holds it) when WriteStartBackup is first called; later calls write nothing.
    void KeepStartBackup(const CKeysetStore& loaded);
    void WriteStartBackup();

private:
    std::vector<KeysetRecord> Listed() const;
    std::vector<WindowRule> ListedRules() const;
    std::vector<KeysetSteps> ListedSteps() const;
    // The keysets of the file at `path` (a collection or a keyset file), the rule each file carries
    // (none: keep the rule) and its steps; false, told, when it could not be read or was damaged.
    bool ReadKeysets(const std::string& path, std::vector<KeysetRecord>& keysets,
                     std::vector<std::optional<WindowRule>>& rules, std::vector<KeysetSteps>& steps);
    void TellDamage(unsigned whatId);
    void BackUp(const std::vector<KeysetRecord>& keysets, const std::vector<WindowRule>& rules,
                const std::vector<KeysetSteps>& steps);
    void Apply(const std::vector<ImportStep>& plan, std::vector<KeysetRecord>& imported,
               const std::vector<std::optional<WindowRule>>& rules, const std::vector<KeysetSteps>& steps);
    // Save the changed list once, and show it.
    void Changed();

    KeysetCommands& commands_;
    KeysetUi& ui_;
    CollectionUi& dialogs_;
    CKeysetBackups& backups_;
    const TextCase& textCase_;
    bool backupFailureTold_ = false;
    // The list as the start loaded it, until the start's backup is written.
    struct KeptList {
        std::vector<KeysetRecord> keysets;
        std::vector<WindowRule> rules;
        std::vector<KeysetSteps> steps;
    };
    std::optional<KeptList> startBackup_;
};

} // namespace qvl
