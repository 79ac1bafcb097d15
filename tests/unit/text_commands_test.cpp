#include "commands_rig.h"
#include "latin1_code_page.h"
#include "scratch_folder.h"

#include "editor/app/command_line.h"
#include "editor/app/keyset_templates.h"
#include "editor/app/others_changes.h"
#include "model/backup_folder_files.h"
#include "model/keyset_file.h"
#include "model/whole_file.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qvl {
namespace {

const fakes::Latin1CodePage kCodePage;

std::string SourceFile(const std::string& path) {
    std::string bytes;
    ReadFileBounded(std::string(QVL_SOURCE_DIR) + "/" + path, 1 << 20, bytes);
    return bytes;
}

// Every template we ship reads, names its source and version, and serves its program.
TEST(KeysetTemplates, EveryShippedTemplateReadsNamesItsSourceAndServesItsProgram) {
    const std::string resources = SourceFile("editor/res/templates.rc");
    for (const KeysetTemplate& shipped : kKeysetTemplates) {
        const std::string text = SourceFile(std::string("editor/res/templates/") + shipped.fileName);
        const KeysetTextRead read = ReadKeysetText(text, kCodePage);
        ASSERT_TRUE(read.Ok()) << shipped.fileName << ": " << read.error;
        ASSERT_EQ(read.keysets.size(), 1u) << shipped.fileName;
        EXPECT_NE(text.find("\n# Source: "), std::string::npos) << shipped.fileName;
        EXPECT_NE(resources.find(std::string("RCDATA \"templates/") + shipped.fileName + "\""), std::string::npos);
        KeysetChooser chooser(AsciiCase());
        chooser.SetKeysets({{"Default", {}}, {ReadField(read.keysets[0].record.header.appName), read.keysets[0].rule}});
        EXPECT_EQ(chooser.Choose(ForegroundWindow{shipped.program, "Untitled", "Frame"}).index, 1) << shipped.fileName;
        for (int bank = 0; bank < kBankCount; ++bank) // every transport key does something
            for (int control = 0; control < kWheelCounterClockwise; ++control)
                EXPECT_NE(AssignmentAt(read.keysets[0].record, bank, control).hotKeyVk, 0) << shipped.fileName;
    }
    // The whole keyset the form's description shows reads too.
    const std::string docs = SourceFile("docs/keyset-text.md");
    const std::size_t example = docs.find("```\n") + 4;
    const KeysetTextRead read = ReadKeysetText(docs.substr(example, docs.find("```", example) - example), kCodePage);
    EXPECT_TRUE(read.Ok()) << read.error;
}

struct FixedClock final : LocalClock {
    LocalTime Now() const override { return {2026, 1, 2, 3, 4, 5}; }
};

// The editor's commands with the command line's answers: conflicts as `choice` says.
struct TextRig : CommandsParts {
    explicit TextRig(ConflictChoice choice) : lineUi(names, choice, [](const StoreResult&) { return "denied"; }) {
        shared.Create();
        commands.NewDocument();
        commands.FinishLoad();
        KeysetRecord record;
        InitKeyset(record, "vlc", 0, names);
        AssignmentAt(record, kMainBank, kPlay).hotKeyVk = 'V';
        commands.AddOrReplace(record);
        commands.SetCurrent(0);
        shared.SetKeysetsChanged(0);
        registry.journal.clear();
    }

    CommandLineUi lineUi;
    testing::ScratchFolder folder;
    FileBackupFolder backupFolder{folder.File("Backups")};
    FixedClock clock;
    CKeysetBackups backups{backupFolder, clock};
    CollectionCommands collections{commands, ui, lineUi, backups, textCase};
    TextCommands text{commands, collections, ui, lineUi, lineUi, kCodePage, textCase};
};

const std::string kTwoKeysets = "Quorvel 2 keysets, version 1\n"
                                "Keyset: \"vlc\"\nRule: title \"Video\"\n"
                                "MainBank, Play: key Space; press \"Space, wait 20, S\"\n"
                                "Keyset: \"mpv\"\nMainBank, Play: key P\n";

// A text joins the list as a collection does, each name the list holds answered as asked, in one save
// after a backup; the keyset of a text of one becomes the current one.
TEST(TextCommands, ATextJoinsTheListWithItsRulesAndStepsInOneSave) {
    const struct {
        ConflictChoice choice;
        std::vector<std::string> names;
        std::uint16_t vlcPlay;
    } rows[] = {
        {ConflictChoice::kReplace, {"Default", "mpv", "vlc"}, ' '},
        {ConflictChoice::kKeepBoth, {"Default", "mpv", "vlc", "vlc (2)"}, 'V'},
        {ConflictChoice::kSkip, {"Default", "mpv", "vlc"}, 'V'},
    };
    for (const auto& row : rows) {
        TextRig rig(row.choice);
        ASSERT_TRUE(rig.text.ImportText(kTwoKeysets, "two.txt",
                                        [&](const std::string& name) { return rig.lineUi.AskConflict(name); }));
        EXPECT_EQ(rig.Names(), row.names);
        CKeysetStore& store = *rig.commands.Store();
        const int vlc = *store.Find("vlc");
        EXPECT_EQ(store.GetAssignment(vlc, kMainBank, kPlay)->hotKeyVk, row.vlcPlay);
        const int imported = *store.Find(row.choice == ConflictChoice::kKeepBoth ? "vlc (2)" : "vlc");
        EXPECT_EQ(store.GetRule(imported).title, row.choice == ConflictChoice::kSkip ? "" : "Video");
        EXPECT_EQ(store.GetAssignmentSteps(imported, kMainBank, kPlay).press,
                  row.choice == ConflictChoice::kSkip ? "" : "Space, wait 20, S");
        EXPECT_EQ(rig.Saves(), 1);
        EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);
        EXPECT_EQ(rig.backups.List().size(), 1u);
        EXPECT_EQ(store.GetCurrentIndex(), 0) << "two keysets leave the current one";
    }
    TextRig rig(ConflictChoice::kReplace);
    ASSERT_TRUE(rig.text.ImportText("Quorvel 2 keysets, version 1\nKeyset: \"mpv\"\n", "one.txt",
                                    [&](const std::string& name) { return rig.lineUi.AskConflict(name); }));
    EXPECT_EQ(rig.commands.Store()->GetCurrentName(), "mpv");
}

// A damaged text is refused whole with its line: nothing is written, nothing told to the driver.
TEST(TextCommands, ADamagedTextChangesNothingAndSaysWhichLine) {
    TextRig rig(ConflictChoice::kReplace);
    const std::string damaged = kTwoKeysets + "Option Bank, Play: key Ctr\n";
    EXPECT_FALSE(
        rig.text.ImportText(damaged, "two.txt", [&](const std::string& n) { return rig.lineUi.AskConflict(n); }));
    EXPECT_EQ(rig.ui.told,
              std::vector<std::string>{"1850:two.txt|Line 7: \"Option Bank, Play\": there is no key named \"Ctr\"."});
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "vlc"}));
    EXPECT_TRUE(rig.registry.journal.empty());
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
}

// A second program writes the stored keysets (QVL2.exe /import): the editor's list takes its keyset
// before the editor's next command, whose save keeps it; a command on the current keyset waits for the
// user to see the list that changed.
TEST(OthersChanges, AnotherWritersKeysetsComeInBeforeACommandSoItsSaveKeepsThem) {
    TextRig rig(ConflictChoice::kReplace);
    fakes::FakeKeysetWatch watch{rig.registry};
    fakes::ScriptedKeysetUi ui;
    KeysetCommands other{rig.shared, rig.names, KeysetStorage{rig.registry, rig.lock, rig.textCase, watch}, ui,
                         rig.textCase};
    other.NewDocument();
    other.FinishLoad();
    KeysetRecord mpv;
    InitKeyset(mpv, "mpv", 0, rig.names);
    other.AddOrReplace(mpv);

    EXPECT_FALSE(TakeOthersChanges(rig.commands, rig.ui));
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "mpv", "vlc"}));
    EXPECT_EQ(rig.ui.menu, rig.Names());
    EXPECT_TRUE(TakeOthersChanges(rig.commands, rig.ui)) << "nothing changed since";
    rig.commands.SetCurrent(2);
    rig.commands.ClearKeyset();
    EXPECT_TRUE(rig.registry.Value(std::string(kKeysetsKeyPath) + "\\mpv", "AppPref").has_value());
    EXPECT_EQ(rig.registry.Value(std::string(kKeysetsKeyPath) + "\\vlc\\MainBank", "Play")->at(6), 0) << "cleared";
}

TEST(CommandLine, WordsBecomeARequestOrSayWhatIsWrong) {
    using Action = CommandLineRequest::Action;
    const struct {
        const char* line;
        Action action;
        const char* file;
        const char* keyset;
        ConflictChoice conflict;
        const char* wrong;
    } rows[] = {
        {"", Action::kEditor, "", "", ConflictChoice::kReplace, ""},
        {"\"C:\\My Keysets\\a.qvl\"", Action::kEditor, "", "", ConflictChoice::kReplace, ""},
        {"/import \"C:\\My Keysets\\all.txt\" /KEEP-BOTH", Action::kImport, "C:\\My Keysets\\all.txt", "",
         ConflictChoice::kKeepBoth, ""},
        {"-skip /import a.qvlx", Action::kImport, "a.qvlx", "", ConflictChoice::kSkip, ""},
        {"/export b.qvl \"browser - Video\"", Action::kExport, "b.qvl", "browser - Video", ConflictChoice::kReplace,
         ""},
        {"/import a.txt /?", Action::kHelp, "a.txt", "", ConflictChoice::kReplace, ""},
        {"/import", Action::kWrong, "", "", ConflictChoice::kReplace, "\"/import\" must be followed by a file"},
        {"/export a.txt x y", Action::kWrong, "a.txt", "x", ConflictChoice::kReplace,
         "\"y\" follows no option that takes it"},
        {"/import a.txt /export b.txt", Action::kWrong, "a.txt", "", ConflictChoice::kReplace,
         "only one of /import and /export"},
        {"/skip /export b.txt", Action::kWrong, "b.txt", "", ConflictChoice::kSkip,
         "/keep-both and /skip belong to /import"},
        {"/skip", Action::kWrong, "", "", ConflictChoice::kSkip, "/import or /export must say what to do"},
        {"/imprt a.txt", Action::kWrong, "", "", ConflictChoice::kReplace, "there is no option \"/imprt\""},
    };
    for (const auto& row : rows) {
        const CommandLineRequest request = ParseCommandLine(row.line);
        EXPECT_EQ(request.action, row.action) << row.line;
        EXPECT_EQ(request.file, row.file) << row.line;
        EXPECT_EQ(request.keyset, row.keyset) << row.line;
        EXPECT_EQ(request.conflict, row.conflict) << row.line;
        EXPECT_EQ(request.wrong.rfind(row.wrong, 0), 0u) << row.line << ": " << request.wrong;
    }
}

// /export by the file's kind, and /import of what it wrote into another list, with its exit's reasons.
TEST(CommandLine, ExportsByTheFilesKindAndImportsWhatItWrote) {
    TextRig rig(ConflictChoice::kReplace);
    using Action = CommandLineRequest::Action;
    const auto run = [&](Action action, const std::string& file, const std::string& keyset) {
        return RunCommandLine(CommandLineRequest{action, file, keyset, ConflictChoice::kKeepBoth, ""}, rig.commands,
                              rig.collections, rig.text, rig.ui);
    };
    const std::string all = rig.folder.File("all.txt"), one = rig.folder.File("vlc.qvl");
    EXPECT_TRUE(run(Action::kExport, all, ""));
    EXPECT_TRUE(run(Action::kExport, one, "VLC"));
    EXPECT_FALSE(run(Action::kExport, rig.folder.File("x.txt"), "nosuch"));
    EXPECT_FALSE(run(Action::kExport, rig.folder.File("x.doc"), ""));
    EXPECT_EQ(rig.ui.told, (std::vector<std::string>{"1856:nosuch", "1857:" + rig.folder.File("x.doc")}));
    std::string bytes;
    ASSERT_TRUE(ReadFileBounded(one, 1 << 20, bytes).done);
    EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(12, 4), std::string("QVL2vlc\0", 8));

    TextRig other(ConflictChoice::kKeepBoth);
    EXPECT_TRUE(RunCommandLine(CommandLineRequest{Action::kImport, all, "", ConflictChoice::kKeepBoth, ""},
                               other.commands, other.collections, other.text, other.ui));
    EXPECT_EQ(other.Names(), (std::vector<std::string>{"Default", "Default (2)", "vlc", "vlc (2)"}));
    EXPECT_EQ(other.commands.Store()->GetAssignment(3, kMainBank, kPlay)->hotKeyVk, 'V');
}

} // namespace
} // namespace qvl
