#include "editor/app/collection_commands.h"

#include "base/format_string.h"
#include "model/keyset_collection.h"
#include "model/keyset_file.h"
#include "model/string_text.h"

#include <cstdio>
#include <cstring>

namespace qvl {

namespace {

unsigned DamageText(CollectionDamage damage) {
    switch (damage) {
        case CollectionDamage::kNone:
        case CollectionDamage::kNotACollection:
            return kDamageNotKeysetsId;
        case CollectionDamage::kUnknownVersion:
            return kDamageVersionId;
        case CollectionDamage::kEndsEarly:
            return kDamageEndsEarlyId;
        case CollectionDamage::kCountDoesNotFit:
            return kDamageCountId;
        case CollectionDamage::kChecksumWrong:
            return kDamageChecksumId;
        case CollectionDamage::kNotAKeyset:
            return kDamageRecordId;
        case CollectionDamage::kStringNotEnded:
            return kDamageStringId;
        case CollectionDamage::kTooLarge:
            return kDamageTooLargeId;
        case CollectionDamage::kStepsDamaged:
            return kDamageStepsId;
    }
    return kDamageNotKeysetsId;
}

bool StartsWith(const std::string& bytes, const char (&magic)[4]) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), magic, 4) == 0;
}

std::string When(const LocalTime& t) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

// The keysets of `store`'s list and their window rules, in its order (none without a store).
std::vector<KeysetRecord> KeysetsOf(const CKeysetStore* store) {
    std::vector<KeysetRecord> keysets;
    if (store != nullptr) {
        keysets.reserve(static_cast<std::size_t>(store->GetCount()));
        for (int index = 0; index < store->GetCount(); ++index)
            keysets.push_back(*store->GetKeyset(index));
    }
    return keysets;
}

std::vector<WindowRule> RulesOf(const CKeysetStore* store) {
    std::vector<WindowRule> rules;
    if (store != nullptr)
        for (int index = 0; index < store->GetCount(); ++index)
            rules.push_back(store->GetRule(index));
    return rules;
}

std::vector<KeysetSteps> StepsOf(const CKeysetStore* store) {
    std::vector<KeysetSteps> steps;
    if (store != nullptr)
        for (int index = 0; index < store->GetCount(); ++index)
            steps.push_back(store->GetSteps(index));
    return steps;
}

} // namespace

CollectionCommands::CollectionCommands(KeysetCommands& commands, KeysetUi& ui, CollectionUi& dialogs,
                                       CKeysetBackups& backups, const TextCase& textCase)
    : commands_(commands), ui_(ui), dialogs_(dialogs), backups_(backups), textCase_(textCase) {}

std::vector<KeysetRecord> CollectionCommands::Listed() const {
    return KeysetsOf(commands_.Store());
}

std::vector<WindowRule> CollectionCommands::ListedRules() const {
    return RulesOf(commands_.Store());
}

std::vector<KeysetSteps> CollectionCommands::ListedSteps() const {
    return StepsOf(commands_.Store());
}

void CollectionCommands::ExportAll() {
    if (commands_.Store() == nullptr)
        return;
    if (const std::optional<std::string> path = dialogs_.ChooseCollectionToExport())
        ExportAllTo(*path);
}

bool CollectionCommands::ExportAllTo(const std::string& path) {
    const WholeFileResult written = WriteCollectionFile(path, Listed(), ListedRules(), ListedSteps());
    if (!written.done)
        commands_.TellFileResult({KeysetFileStatus::kCannotWrite, path, written.error});
    return written.done;
}

void CollectionCommands::ImportKeysets() {
    if (commands_.Store() == nullptr)
        return;
    if (const std::optional<std::string> path = dialogs_.ChooseKeysetsToImport())
        ImportFrom(*path);
}

bool CollectionCommands::ImportFrom(const std::string& path) {
    std::vector<KeysetRecord> imported;
    std::vector<std::optional<WindowRule>> rules;
    std::vector<KeysetSteps> importedSteps;
    if (commands_.Store() == nullptr || !ReadKeysets(path, imported, rules, importedSteps))
        return false;
    std::vector<std::string> listed, names;
    for (const KeysetRecord& keyset : Listed())
        listed.push_back(ReadField(keyset.header.appName));
    for (const KeysetRecord& keyset : imported)
        names.push_back(ReadField(keyset.header.appName));
    const std::optional<std::vector<ImportStep>> steps =
        PlanImport(listed, names, textCase_, [this](const std::string& name) { return dialogs_.AskConflict(name); });
    if (!steps)
        return false;
    bool changes = false;
    for (const ImportStep& step : *steps)
        changes = changes || step.kind != ImportStep::Kind::kSkip;
    if (changes) {
        BackUp();
        Apply(*steps, imported, rules, importedSteps);
        Changed();
    }
    return true;
}

bool CollectionCommands::ReadKeysets(const std::string& path, std::vector<KeysetRecord>& keysets,
                                     std::vector<std::optional<WindowRule>>& rules, std::vector<KeysetSteps>& steps) {
    std::string bytes;
    const WholeFileResult got = ReadFileBounded(path, kCollectionReadLimit, bytes);
    if (!got.done) {
        commands_.TellFileResult({KeysetFileStatus::kCannotOpen, path, got.error});
        return false;
    }
    if (StartsWith(bytes, kKeysetFileMagic)) {
        KeysetRecord record;
        CKeysetFile file;
        file.Init(path, &record);
        const KeysetFileStatus status = file.ReadBytes(bytes);
        if (status != KeysetFileStatus::kDone) {
            TellDamage(status == KeysetFileStatus::kStepsDamaged ? kDamageStepsId : kDamageEndsEarlyId);
            return false;
        }
        keysets.push_back(record);
        rules.push_back(file.Rule());
        steps.push_back(file.Steps());
    } else {
        CollectionRead read = ReadCollectionBytes(bytes);
        if (!read.Sound()) {
            TellDamage(DamageText(read.damage));
            return false;
        }
        for (const CollectedKeyset& keyset : read.keysets) {
            keysets.push_back(keyset.record);
            rules.push_back(keyset.rule);
            steps.push_back(keyset.steps);
        }
    }
    for (const KeysetRecord& keyset : keysets)
        if (!IsStorableKeysetName(ReadField(keyset.header.appName))) {
            keysets.clear();
            TellDamage(kDamageNameId);
            return false;
        }
    return true;
}

void CollectionCommands::TellDamage(unsigned whatId) {
    ui_.Tell(kCollectionDamagedMessageId, LoadText(commands_.Store()->Names(), whatId));
}

void CollectionCommands::Apply(const std::vector<ImportStep>& plan, std::vector<KeysetRecord>& imported,
                               const std::vector<std::optional<WindowRule>>& rules,
                               const std::vector<KeysetSteps>& steps) {
    CKeysetStore& store = *commands_.Store();
    // The plan's indexes are those of the list followed by the keysets it adds, in their order: the
    // order in which they are added here.
    for (std::size_t n = 0; n < plan.size(); ++n) {
        KeysetRecord& record = imported[n];
        CopyToField(record.header.appName, plan[n].name.c_str());
        // A file without a rule leaves a replaced keyset's rule as it is; its steps go with its
        // assignments (a file without them gives none).
        const std::optional<WindowRule>& rule = rules[n];
        if (plan[n].kind == ImportStep::Kind::kAdd) {
            store.Add(record, rule.value_or(WindowRule()), steps[n]);
        } else if (plan[n].kind == ImportStep::Kind::kReplace) {
            store.SetKeyset(plan[n].replaces, record);
            store.SetSteps(plan[n].replaces, steps[n]);
            if (rule)
                store.SetRule(plan[n].replaces, *rule);
        }
    }
}

void CollectionCommands::Changed() {
    commands_.SaveKeysets();
    commands_.RebuildKeysetsMenu();
    ui_.UpdateAllViews();
}

void CollectionCommands::RestoreFromBackup() {
    if (commands_.Store() == nullptr)
        return;
    std::vector<BackupEntry> entries;
    std::vector<std::string> choices;
    for (const BackupEntry& entry : backups_.List()) {
        CollectionRead read;
        int error = 0;
        // A backup that cannot be read or is damaged is not offered.
        if (!backups_.Read(entry.name, read, error) || !read.Sound())
            continue;
        entries.push_back(entry);
        choices.push_back(FormatString(LoadText(commands_.Store()->Names(), kBackupChoiceId),
                                       {When(entry.time), std::to_string(read.keysets.size())}));
    }
    if (entries.empty()) {
        ui_.Tell(kNoBackupsMessageId, backups_.Path());
        return;
    }
    if (const std::optional<std::size_t> chosen = dialogs_.ChooseBackup(choices))
        if (*chosen < entries.size())
            Restore(entries[*chosen]);
}

bool CollectionCommands::Restore(const BackupEntry& backup) {
    CollectionRead read;
    int error = 0;
    if (!backups_.Read(backup.name, read, error)) {
        commands_.TellFileResult({KeysetFileStatus::kCannotOpen, backups_.Path() + "\\" + backup.name, error});
        return false;
    }
    if (!read.Sound()) {
        TellDamage(DamageText(read.damage));
        return false;
    }
    if (!dialogs_.AskYesNo(kRestoreQuestionId, When(backup.time)))
        return false;
    BackUp();
    CKeysetStore& store = *commands_.Store();
    const std::string current = store.GetCurrentName();
    // "Default" stays first: the backup's own, or the one in the list should the backup lack it.
    std::vector<KeysetRecord> keysets(1);
    InitKeyset(keysets.front(), kDefaultKeysetName, 0, store.Names());
    if (const std::optional<KeysetRecord> listed = store.GetKeyset(0))
        keysets.front() = *listed;
    std::vector<WindowRule> rules(1); // "Default" has none
    std::vector<KeysetSteps> steps(1, store.GetSteps(0));
    for (const CollectedKeyset& keyset : read.keysets) {
        if (textCase_.Same(ReadField(keyset.record.header.appName), kDefaultKeysetName)) {
            keysets.front() = keyset.record;
            steps.front() = keyset.steps;
        } else {
            keysets.push_back(keyset.record);
            rules.push_back(keyset.rule.value_or(WindowRule()));
            steps.push_back(keyset.steps);
        }
    }
    CopyToField(keysets.front().header.appName, kDefaultKeysetName);
    store.RemoveAll();
    for (std::size_t n = 0; n < keysets.size(); ++n)
        store.Add(keysets[n], rules[n], steps[n]);
    commands_.SetCurrent(store.Find(current).value_or(0));
    Changed();
    return true;
}

void CollectionCommands::BackUp() {
    if (commands_.Store() != nullptr)
        BackUp(Listed(), ListedRules(), ListedSteps());
}

void CollectionCommands::KeepStartBackup(const CKeysetStore& loaded) {
    startBackup_ = KeptList{KeysetsOf(&loaded), RulesOf(&loaded), StepsOf(&loaded)};
}

void CollectionCommands::WriteStartBackup() {
    if (!startBackup_)
        return;
    const KeptList kept = std::move(*startBackup_);
    startBackup_.reset();
    BackUp(kept.keysets, kept.rules, kept.steps);
}

void CollectionCommands::BackUp(const std::vector<KeysetRecord>& keysets, const std::vector<WindowRule>& rules,
                                const std::vector<KeysetSteps>& steps) {
    const BackupResult result = backups_.Write(keysets, rules, steps);
    if (result.status != BackupResult::Status::kFailed || backupFailureTold_)
        return;
    backupFailureTold_ = true;
    const std::string why =
        result.error != 0 ? std::strerror(result.error) : LoadText(commands_.Store()->Names(), kBackupReasonUnknownId);
    ui_.Tell(kBackupFailedMessageId, backups_.Path(), why);
}

} // namespace qvl
