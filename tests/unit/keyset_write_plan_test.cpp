// What a save plans to write and delete, as data, before any registry call.
#include "model/keyset_write_plan.h"

#include <gtest/gtest.h>

#include <cctype>

namespace qvl {
namespace {

KeysetRecord Keyset(const char* name, std::uint16_t play = 0) {
    KeysetRecord record;
    InitKeyset(record, name, 0, NoStrings());
    AssignmentAt(record, kMainBank, kPlay).hotKeyVk = play;
    return record;
}

std::string Fold(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

// What a program saw after saving `records`: every value stored, each subkey at generation 1.
StoredKeysets Image(const std::vector<KeysetRecord>& records) {
    StoredKeysets image;
    for (const KeysetRecord& record : records) {
        StoredSubkey subkey;
        subkey.name = record.header.appName;
        subkey.folded = subkey.foldedAppName = Fold(subkey.name);
        subkey.generation = 1;
        subkey.present = (1u << kStoredValueCount) - 1;
        subkey.stored = subkey.loaded = record;
        subkey.taken = true;
        image.subkeys.push_back(subkey);
    }
    return image;
}

std::vector<ListedKeyset> List(const std::vector<KeysetRecord>& records) {
    std::vector<ListedKeyset> list;
    for (const KeysetRecord& record : records)
        list.push_back(ListedKeyset{record.header.appName, Fold(record.header.appName), &record});
    return list;
}

TEST(KeysetWritePlan, WritesWhatDiffersAndDeletesWhatLeftOnePerSubkey) {
    const std::vector<KeysetRecord> saved = {Keyset("Default"), Keyset("notepad"), Keyset("zoom")};
    struct Row {
        const char* what;
        std::vector<KeysetRecord> list;
        std::vector<std::pair<std::string, std::vector<int>>> writes; // subkey and its values
        std::vector<std::string> deletes;
    };
    const std::vector<int> everything = [] {
        std::vector<int> all;
        for (int value = 0; value < kStoredValueCount; ++value)
            all.push_back(value);
        return all;
    }();
    const Row rows[] = {
        {"nothing changed", saved, {}, {}},
        {"one assignment", {saved[0], Keyset("notepad", 'N'), saved[2]}, {{"notepad", {AssignmentValue(0, 0)}}}, {}},
        {"a new keyset", {saved[0], saved[1], saved[2], Keyset("audacity")}, {{"audacity", everything}}, {}},
        {"a keyset left", {saved[0], saved[1]}, {}, {"zoom"}},
        {"renamed by case", {saved[0], Keyset("NotePad"), saved[2]}, {{"notepad", {kHeaderValue}}}, {}},
        {"two names of one subkey: the later wins",
         {saved[0], saved[1], saved[2], Keyset("ZOOM", 'Z')},
         {{"zoom", {kHeaderValue, AssignmentValue(0, 0)}}},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const WritePlan plan = PlanWrites(List(row.list), Image(saved));
        std::vector<std::pair<std::string, std::vector<int>>> writes;
        for (const PlannedKeyset& planned : plan.writes)
            writes.emplace_back(planned.subkey, planned.values);
        EXPECT_EQ(writes, row.writes);
        EXPECT_EQ(plan.deletes, row.deletes);
        EXPECT_EQ(plan.touched.size(), row.writes.size() + row.deletes.size());
        EXPECT_EQ(plan.adds, std::string(row.what) == "a new keyset");
    }
}

} // namespace
} // namespace qvl
