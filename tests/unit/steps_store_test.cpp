// Steps where they are kept and carried: the values beside each assignment in the registry, the keyset
// file's chunk, and the editor's commands that move keysets.
#include "commands_rig.h"
#include "scratch_folder.h"

#include "model/keyset_collection.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qvl {
namespace {

using fakes::Bytes;
using fakes::ValueType;

const std::string kMain = std::string(kKeysetsKeyPath) + "\\notepad\\MainBank";

Bytes Wide(const std::u16string& text) {
    Bytes bytes;
    for (const char16_t unit : text + u'\0')
        bytes.insert(bytes.end(), {static_cast<unsigned char>(unit & 0xFF), static_cast<unsigned char>(unit >> 8)});
    return bytes;
}

// The editor with "Default" and "notepad" stored.
struct Rig : CommandsParts {
    Rig() {
        shared.Create();
        commands.NewDocument();
        commands.FinishLoad();
        KeysetRecord record;
        InitKeyset(record, "notepad", 0, names);
        commands.AddOrReplace(record);
        registry.journal.clear();
    }
    // The changes asked of notepad's main bank since the last look ("write text Play Steps").
    std::vector<std::string> Changes() {
        std::vector<std::string> lines;
        for (std::string line : registry.journal)
            if (line.find(kMain + ":") != std::string::npos)
                lines.push_back(line.erase(line.find(kMain), kMain.size() + 1));
        registry.journal.clear();
        return lines;
    }
    // What a program that loads the stored keysets reads (the driver, after every save of the editor).
    AssignmentSteps Loaded(int control, const char* keyset = "notepad", int bank = kMainBank) {
        MemoryBlocks otherBlocks;
        CSharedInfo otherShared{otherBlocks};
        otherShared.Create();
        CKeysetStore store{otherShared, names};
        fakes::FakeKeysetWatch otherWatch{registry};
        CKeysetRegistry keysets(KeysetStorage{registry, lock, textCase, otherWatch});
        EXPECT_TRUE(ReloadAllKeysets(store, keysets).Done());
        return store.GetAssignmentSteps(store.Find(keyset).value_or(-1), bank, control);
    }
};

TEST(StepsStore, EachEditWritesTheValuesOfTheFieldsItChangedAndALoadReadsThem) {
    const std::string text = "Ctrl+S, \"\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9D\x84\x9E\"";
    const struct {
        int control;
        AssignmentSteps steps;
        std::vector<std::string> written;
    } edits[] = {
        {kPlay, {text, "", false}, {"write text Play Steps"}},
        {kPlay, {text, "", false}, {}},
        {kPlay, {text, "K", true}, {"write text Play Release", "write dword Play Repeat"}},
        {kPlay, {}, {"delete Play Steps", "delete Play Release", "delete Play Repeat"}},
        {kWheelClockwise, {"Right", "Left", true}, {"write text CWheel Steps"}},
    };
    Rig rig;
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.steps.release);
        ASSERT_TRUE(rig.commands.PutSteps(edit.steps, 1, kMainBank, edit.control).Done());
        EXPECT_EQ(rig.Changes(), edit.written);
        EXPECT_TRUE(rig.Loaded(edit.control) == rig.commands.FetchSteps(1, kMainBank, edit.control));
    }
}

// What another writer stores (a .reg file, a script) is read at the next load as the steps it can be,
// and neither a save of the list that read it nor an edit that changes nothing rewrites it.
TEST(StepsStore, ValuesFromOutsideAreReadAsTheyCanBeAndLeftAsTheyAre) {
    const std::u16string kLong(2000, u'A'), kTooLong(5000, u'A');
    const struct {
        const char* name;
        ValueType type;
        Bytes bytes;
        AssignmentSteps read;
    } rows[] = {
        {"Play Steps", ValueType::kWideText, Wide(u"Tab, Enter"), {"Tab, Enter", "", false}},
        {"Play Steps", ValueType::kWideText, Wide(u"Ctrl+Foo"), {"Ctrl+Foo", "", false}},
        {"Play Steps", ValueType::kWideText, Wide(kLong), {std::string(2000, 'A'), "", false}},
        {"Play Steps", ValueType::kWideText, Wide(kTooLong), {}},
        {"Play Steps", ValueType::kWideText, Wide(u"\xD800"), {"\xEF\xBF\xBD", "", false}},
        {"Play Steps", ValueType::kBinary, Bytes{'T', 0}, {}},
        {"Play Release", ValueType::kWideText, Wide(u"K"), {"", "K", false}},
        {"Play Repeat", ValueType::kDword, Bytes{1, 0, 0, 0}, {"", "", true}},
        {"Play Repeat", ValueType::kWideText, Wide(u"1"), {}},
        {"CWheel Release", ValueType::kWideText, Wide(u"Left"), {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.bytes.size()));
        Rig rig;
        rig.registry.SetValue(kMain, row.name, row.bytes, row.type);
        const int control = row.name[0] == 'C' ? kWheelClockwise : kPlay;
        EXPECT_TRUE(rig.Loaded(control) == row.read);
        ASSERT_TRUE(rig.commands.ReloadKeysets().Done());
        rig.registry.journal.clear();
        ASSERT_TRUE(rig.commands.SaveKeysets().Done());
        ASSERT_TRUE(
            rig.commands.PutSteps(rig.commands.FetchSteps(1, kMainBank, control), 1, kMainBank, control).Done());
        EXPECT_EQ(rig.Changes(), std::vector<std::string>());
        EXPECT_EQ(rig.registry.Value(kMain, row.name), row.bytes);
    }
}

// A keyset with steps, and its file. Its chunk, byte by byte from the magic: 0 "STEP", 4 payload length
// 18, 8 count 2, 10 the entry of Play (bank, control, flags 1, press "A" at 15, no release), 18 that of
// CWheel in bank 3.
struct ChunkFile {
    KeysetRecord record{};
    CKeysetFile file;
    KeysetSteps steps;
    ChunkFile() {
        InitKeyset(record, "notepad", 0, NoStrings());
        steps.Set(kMainBank, kPlay, {"A", "", true});
        steps.Set(kOptionShiftBank, kWheelClockwise, {"B", "", false});
        file.Init(std::string(), &record);
        file.SetSteps(steps);
    }
};

TEST(StepsStore, TheFileCarriesTheStepsAfterTheRuleOrInItsPlaceAndADamagedChunkRefusesItWhole) {
    for (const bool withRule : {true, false}) {
        ChunkFile written, read;
        if (withRule)
            written.file.SetRule(WindowRule{"", "Video", ""});
        const std::string bytes = written.file.Bytes();
        EXPECT_EQ(bytes.substr(kKeysetFileLength, 4), withRule ? "RULE" : "STEP");
        ASSERT_EQ(read.file.ReadBytes(bytes), KeysetFileStatus::kDone);
        EXPECT_TRUE(read.file.Steps() == written.steps && read.file.Rule().has_value() == withRule);
        ASSERT_EQ(read.file.ReadBytes(bytes.substr(0, kKeysetFileLength)), KeysetFileStatus::kDone);
        EXPECT_TRUE(read.file.Steps().Empty()) << "an older file gives no steps";
    }
    const std::vector<std::vector<std::pair<std::size_t, unsigned char>>> damages = {
        {{4, 19}}, {{8, 3}},  {{8, 1}},  {{18, 4}},    {{18, 0}, {19, 0}},
        {{12, 3}}, {{20, 1}}, {{15, 0}}, {{15, 0xFF}}, {{13, 0xFF}, {14, 0xFF}},
    };
    ChunkFile source;
    const std::string good = source.file.Bytes();
    const std::size_t chunk = good.size() - 26;
    for (const auto& damage : damages) {
        std::string bytes = good;
        for (const auto& [at, value] : damage)
            bytes[chunk + at] = static_cast<char>(value);
        ChunkFile read;
        std::memset(&read.record, 0xAB, sizeof read.record);
        EXPECT_EQ(read.file.ReadBytes(bytes), KeysetFileStatus::kStepsDamaged) << damage.front().first;
        EXPECT_EQ(read.record.header.appName[0], '\xAB') << "nothing taken";
    }
    EXPECT_EQ(source.file.ReadBytes(good + good.substr(chunk)), KeysetFileStatus::kStepsDamaged) << "twice";
    EXPECT_TRUE(ReadCollectionBytes(CollectionBytes({source.record}, {}, {source.steps})).keysets.at(0).steps ==
                source.steps);
}

// The steps go wherever the keyset goes, and go away with its assignments.
TEST(StepsStore, TheStepsMoveWithTheKeysetAndAreClearedWithIt) {
    Rig rig;
    testing::ScratchFolder folder;
    const AssignmentSteps steps{"Shift down", "Shift up", true};
    ASSERT_TRUE(rig.commands.PutSteps(steps, 1, kMainBank, kRecord).Done());
    EXPECT_EQ(rig.Changes().size(), 3u);
    rig.commands.SetCurrent(1);
    ASSERT_TRUE(rig.commands.ExportFile(folder.File("with.qvl")));
    rig.commands.CopyKeyset();
    rig.commands.ClearKeyset();
    EXPECT_EQ(rig.Changes(),
              std::vector<std::string>({"delete Record Steps", "delete Record Release", "delete Record Repeat"}));
    rig.ui.answers = {true};
    ASSERT_TRUE(rig.commands.ImportFile(folder.File("with.qvl")));
    EXPECT_TRUE(rig.Loaded(kRecord) == steps);
    rig.commands.SetCurrent(0);
    rig.commands.PasteKeyset();
    rig.commands.SaveKeysets();
    EXPECT_TRUE(rig.Loaded(kRecord, "Default") == steps);
}

} // namespace
} // namespace qvl
