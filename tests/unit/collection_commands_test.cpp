#include "ascii_text_case.h"
#include "commands_rig.h"
#include "fake_registry.h"
#include "keyset_ui_script.h"
#include "scratch_folder.h"

#include "editor/app/collection_commands.h"
#include "model/backup_folder_files.h"
#include "model/memory_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>

namespace qvl {
namespace {

class ScriptedCollectionUi final : public CollectionUi {
public:
    std::optional<std::string> ChooseCollectionToExport() override { return file; }
    std::optional<std::string> ChooseKeysetsToImport() override { return file; }
    std::optional<ConflictAnswer> AskConflict(const std::string& name) override {
        conflicts.push_back(name);
        return answer;
    }
    std::optional<std::size_t> ChooseBackup(const std::vector<std::string>& shown) override {
        choices = shown;
        return chosen;
    }
    bool AskYesNo(unsigned, const std::string& argument) override {
        asked.push_back(argument);
        return true;
    }
    std::optional<std::string> file;
    ConflictAnswer answer;
    std::vector<std::string> conflicts, choices, asked;
    std::optional<std::size_t> chosen = 0;
};

class FixedClock final : public LocalClock {
public:
    LocalTime Now() const override { return now; }
    LocalTime now{2026, 12, 10, 9, 0, 0};
};

KeysetRecord Marked(const char* name, std::uint16_t key) {
    KeysetRecord record;
    InitKeyset(record, name, 0, NoStrings());
    record.banks[kMainBank].controls[kPlay].hotKeyVk = key;
    return record;
}

struct CollectionRig : CommandsParts {
    ScriptedCollectionUi dialogs;
    testing::ScratchFolder folder;
    FileBackupFolder backupFolder{folder.File("Backups")};
    FixedClock clock;
    CKeysetBackups backups{backupFolder, clock};
    CollectionCommands collections{commands, ui, dialogs, backups, textCase};

    // The editor's start with `keysets` in the list, "Default" first.
    explicit CollectionRig(const std::vector<KeysetRecord>& keysets) {
        shared.Create();
        CKeysetStore& store = commands.NewDocument();
        commands.FinishLoad();
        for (std::size_t n = 1; n < keysets.size(); ++n)
            store.Add(keysets[n]);
        store.SetKeyset(0, keysets[0]);
        commands.SaveKeysets();
        commands.SetBeforeLoss([this] { collections.BackUp(); });
        collections.BackUp();
        clock.now.second = 1;
        shared.SetKeysetsChanged(0);
        registry.journal.clear();
    }
    std::uint16_t Play(int index) const { return commands.Store()->GetAssignment(index, kMainBank, kPlay)->hotKeyVk; }
};

TEST(CollectionCommands, ImportOfACollectionIsOneSaveAfterABackupWithEachConflictAnswered) {
    CollectionRig source({Marked("Default", 'd'), Marked("notepad", 'n'), Marked("paint", 'p')});
    source.commands.Store()->SetAssignmentSteps(0, kShiftBank, kStop, {"Tab", "", false});
    const std::string path = source.folder.File("all.qvlx");
    ASSERT_TRUE(source.collections.ExportAllTo(path));

    CollectionRig rig({Marked("Default", 'D'), Marked("Notepad", 'N')});
    rig.dialogs.file = path;
    rig.dialogs.answer = {ConflictChoice::kKeepBoth, true};
    rig.collections.ImportKeysets();

    EXPECT_EQ(rig.dialogs.conflicts, (std::vector<std::string>{"Default"})) << "asked once, then for all";
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "Default (2)", "Notepad", "notepad (2)", "paint"}));
    EXPECT_EQ(rig.Play(0), 'D') << "Default is replaced only on Replace";
    EXPECT_EQ(rig.Play(3), 'n');
    EXPECT_EQ(rig.commands.Store()->GetAssignmentSteps(1, kShiftBank, kStop).press, "Tab") << "steps go with it";
    EXPECT_EQ(rig.Saves(), 1);
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);
    EXPECT_EQ(rig.backups.List().size(), 1u) << "the state before the import was backed up at the start already";
    EXPECT_EQ(rig.ui.menu, rig.Names());

    rig.dialogs.answer = {ConflictChoice::kReplace, true};
    rig.collections.ImportFrom(path);
    EXPECT_EQ(rig.Play(0), 'd');
    EXPECT_EQ(rig.Play(2), 'n') << "Notepad replaced, keeping its own name";
    EXPECT_EQ(rig.Names().size(), 5u);
    EXPECT_EQ(rig.backups.List().size(), 2u);
}

TEST(CollectionCommands, ADamagedFileIsRefusedWithTheMessageAndNothingChanges) {
    CollectionRig rig({Marked("Default", 'D'), Marked("notepad", 'N')});
    const std::string path = rig.folder.File("all.qvlx");
    ASSERT_TRUE(rig.collections.ExportAllTo(path));
    std::filesystem::resize_file(path, 15000);
    rig.dialogs.file = path;
    rig.collections.ImportKeysets();

    EXPECT_EQ(rig.ui.told, (std::vector<std::string>{std::to_string(kCollectionDamagedMessageId) + ":"}));
    EXPECT_TRUE(rig.registry.journal.empty());
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
    EXPECT_EQ(rig.backups.List().size(), 1u);
}

TEST(CollectionCommands, RestoreBringsBackADeletedKeysetAfterBackingUpTheListAsOneSave) {
    CollectionRig rig({Marked("Default", 'D'), Marked("notepad", 'N'), Marked("paint", 'P')});
    rig.commands.SetCurrent(2);
    rig.commands.DeleteKeyset(1);
    ASSERT_EQ(rig.backups.List().size(), 1u) << "the delete found the start's backup holding the list";
    rig.clock.now.second = 2;
    rig.registry.journal.clear();
    rig.shared.SetKeysetsChanged(0);

    rig.dialogs.chosen = 0;
    rig.collections.RestoreFromBackup();
    EXPECT_EQ(rig.dialogs.choices.size(), 1u);
    EXPECT_EQ(rig.dialogs.asked, (std::vector<std::string>{"2026-12-10 09:00:00"}));
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "notepad", "paint"}));
    EXPECT_EQ(rig.Play(1), 'N');
    EXPECT_EQ(rig.commands.Store()->GetCurrentName(), "paint");
    EXPECT_EQ(rig.Saves(), 1);
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);
    EXPECT_EQ(rig.registry.Subkeys(kKeysetsKeyPath), rig.Names());
    EXPECT_EQ(rig.backups.List().size(), 2u) << "the list before the restore";
}

// The start's backup holds the list as loaded and is written before the first write after the start.
// Here the write comes before the load has finished (an edit while the panel shows the first look):
// the load finishes first, so neither the backup nor the registry gets the first look's blank banks.
TEST(CollectionCommands, TheStartsBackupHoldsTheLoadedListAndIsWrittenBeforeTheFirstWrite) {
    CollectionRig rig({Marked("Default", 'D'), Marked("notepad", 'N')});
    std::filesystem::remove_all(rig.folder.File("Backups"));
    rig.commands.SetAfterLoad([&rig] { rig.collections.KeepStartBackup(*rig.commands.Store()); });
    rig.commands.NewDocument();
    std::size_t backupsAtWrite = 0;
    rig.commands.SetBeforeWrite([&rig, &backupsAtWrite] {
        rig.collections.WriteStartBackup();
        backupsAtWrite = rig.backups.List().size();
    });
    ControlAssignment edited = *rig.commands.Store()->GetAssignment(1, kMainBank, kStop);
    edited.hotKeyVk = 'X';
    ASSERT_TRUE(rig.commands.PutAssignment(edited, 1, kMainBank, kStop).Done());
    rig.collections.WriteStartBackup(); // the first idle moment, later

    CollectionRead read;
    int error = 0;
    ASSERT_EQ(backupsAtWrite, 1u);
    ASSERT_EQ(rig.backups.List().size(), 1u);
    ASSERT_TRUE(rig.backups.Read(rig.backups.List()[0].name, read, error) && read.keysets.size() == 2);
    EXPECT_EQ(read.keysets[1].record.banks[kMainBank].controls[kPlay].hotKeyVk, 'N');
    EXPECT_EQ(rig.commands.Store()->GetAssignment(1, kMainBank, kPlay)->hotKeyVk, 'N');
    EXPECT_EQ(rig.registry.Value(kKeysetsKeyPath + std::string("\\notepad\\MainBank"), "Play")
                  ->at(offsetof(ControlAssignment, hotKeyVk)),
              'N');
}

TEST(CollectionCommands, ABackupThatCannotBeWrittenIsToldOnceAndStopsNothing) {
    CollectionRig rig({Marked("Default", 'D'), Marked("notepad", 'N'), Marked("paint", 'P')});
    std::filesystem::remove_all(rig.folder.File("Backups"));
    std::ofstream(rig.folder.File("Backups")) << "a file where the folder should be";
    rig.commands.SetCurrent(1);
    rig.commands.ClearKeyset();
    rig.commands.DeleteKeyset(2);

    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "notepad"}));
    EXPECT_EQ(rig.Play(1), 0) << "cleared";
    ASSERT_EQ(rig.ui.told.size(), 1u);
    EXPECT_EQ(rig.ui.told[0].rfind(std::to_string(kBackupFailedMessageId) + ":" + rig.backups.Path() + "|", 0), 0u);
}

} // namespace
} // namespace qvl
