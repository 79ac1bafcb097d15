// What a save plans to write and delete, as data, before any registry call.
#include "ascii_text_case.h"

#include "model/keyset_write_plan.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

KeysetRecord Keyset(const char* name, std::uint16_t play = 0) {
    KeysetRecord record;
    InitKeyset(record, name, 0, NoStrings());
    AssignmentAt(record, kMainBank, kPlay).hotKeyVk = play;
    return record;
}

TEST(KeysetWritePlan, WritesWhatDiffersAndDeletesWhatLeftOnePerSubkey) {
    const std::vector<KeysetRecord> saved = {Keyset("Default"), Keyset("notepad"), Keyset("zoom")};
    StoredKeysets image; // what a program saw after saving `saved`: every value, at generation 1
    for (const KeysetRecord& record : saved) {
        StoredSubkey& subkey = image.subkeys.emplace_back();
        subkey.name = record.header.appName;
        subkey.folded = subkey.foldedAppName = AsciiCase().Fold(subkey.name);
        subkey.generation = 1;
        subkey.present = (1u << kStoredValueCount) - 1;
        subkey.stored = subkey.loaded = record;
        subkey.taken = true;
    }
    using Writes = std::vector<std::pair<std::string, std::vector<int>>>; // subkey and its values
    const struct {
        const char* what;
        std::vector<KeysetRecord> list;
        Writes writes;
        std::vector<std::string> deletes;
    } rows[] = {
        {"nothing changed", saved, {}, {}},
        {"one assignment", {saved[0], Keyset("notepad", 'N'), saved[2]}, {{"notepad", {AssignmentValue(0, 0)}}}, {}},
        {"a keyset left", {saved[0], saved[1]}, {}, {"zoom"}},
        {"renamed by case", {saved[0], Keyset("NotePad"), saved[2]}, {{"notepad", {kHeaderValue}}}, {}},
        {"two names of one subkey: the later wins",
         {saved[0], saved[1], saved[2], Keyset("ZOOM", 'Z')},
         {{"zoom", {kHeaderValue, AssignmentValue(0, 0)}}},
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<ListedKeyset> list;
        for (const KeysetRecord& record : row.list)
            list.push_back(ListedKeyset{record.header.appName, AsciiCase().Fold(record.header.appName), &record,
                                        WindowRule(), KeysetSteps()});
        const WritePlan plan = PlanWrites(list, image);
        Writes writes;
        for (const PlannedKeyset& planned : plan.writes)
            writes.emplace_back(planned.subkey, planned.values);
        EXPECT_EQ(writes, row.writes);
        EXPECT_EQ(plan.deletes, row.deletes);
        EXPECT_EQ(plan.touched.size(), row.writes.size() + row.deletes.size());
        EXPECT_FALSE(plan.adds);
    }
}

} // namespace
} // namespace qvl
