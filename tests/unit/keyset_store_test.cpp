#include "model/keyset_store.h"
#include "model/memory_blocks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qvl {
namespace {

KeysetRecord Keyset(const char* name, unsigned char fill = 0) {
    KeysetRecord record;
    InitKeyset(record, name, 0, NoStrings());
    if (fill != 0)
        std::memset(&record.banks, fill, sizeof record.banks); // every assignment byte tells where it came from
    return record;
}

struct StoreRig {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CKeysetStore store{shared, names};
    StoreRig() { shared.Create(); }
};

TEST(KeysetStore, AssignmentIsTheSlotAtItsOffset) {
    StoreRig rig;
    KeysetRecord record = Keyset("notepad");
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (std::size_t i = sizeof(AppPref); i < sizeof record; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    TerminateStrings(record); // as the store holds them
    rig.store.Add(Keyset("Default"));
    rig.store.Add(record);
    const std::optional<ControlAssignment> a = rig.store.GetAssignment(1, kOptionShiftBank, kRecord);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(std::memcmp(&*a, bytes + 9544, 380), 0);
}

TEST(KeysetStore, RemoveAtMovesLaterKeysetsDown) {
    StoreRig rig;
    rig.store.Add(Keyset("Default"));
    rig.store.Add(Keyset("one"));
    rig.store.Add(Keyset("two"));
    rig.store.RemoveAt(1);
    ASSERT_EQ(rig.store.GetCount(), 2);
    EXPECT_TRUE(rig.store.NameEquals(1, "two"));
    rig.store.RemoveAt(2); // outside: nothing happens
    EXPECT_EQ(rig.store.GetCount(), 2);
}

TEST(KeysetStore, IndexOutsideTheListNeitherReadsNorWrites) {
    StoreRig rig;
    EXPECT_FALSE(rig.store.GetKeyset(0).has_value()); // empty list
    rig.store.Add(Keyset("Default", 0x11));
    rig.store.Add(Keyset("one", 0x22));
    const ControlAssignment patch = *rig.store.GetAssignment(0, 0, 0);
    for (int index : {-1, 2, 32767}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(rig.store.GetKeyset(index).has_value());
        EXPECT_FALSE(rig.store.GetAssignment(index, 0, 0).has_value());
        rig.store.SetKeyset(index, Keyset("intruder"));
        rig.store.SetAssignment(index, 0, 0, patch);
    }
    EXPECT_FALSE(rig.store.GetAssignment(1, kBankCount, 0).has_value());
    EXPECT_FALSE(rig.store.GetAssignment(1, 0, kControlCount).has_value());
    rig.store.SetAssignment(1, -1, 0, patch);
    EXPECT_EQ(rig.store.GetCount(), 2);
    EXPECT_EQ(rig.store.GetAssignment(1, 0, 0)->wheelSpeed, 0x2222);

    // The other program set the shared index to 0xFFFF for a moment.
    rig.store.SetCurrentIndex(0xFFFF);
    EXPECT_EQ(rig.store.GetCurrentIndex(), -1);
    EXPECT_FALSE(rig.store.GetCurrentAssignment(0, 0).has_value());
    EXPECT_EQ(rig.store.GetCurrentName(), "");
}

TEST(KeysetStore, CurrentIndexIsTheSharedOne) {
    StoreRig rig;
    CKeysetStore other(rig.shared, rig.names); // the other program's list, over the same block
    rig.store.Add(Keyset("Default"));
    rig.store.Add(Keyset("notepad", 0x33));
    other.SetCurrentIndex(1);
    EXPECT_EQ(rig.shared.GetCurrentKeysetIndex(), 1);
    EXPECT_EQ(rig.store.GetCurrentName(), "notepad");
    EXPECT_EQ(rig.store.GetCurrentAssignment(0, 0)->wheelSpeed, 0x3333);
}

TEST(KeysetStore, HoldsOnlyTerminatedStrings) {
    StoreRig rig;
    KeysetRecord record = Keyset("x");
    std::memset(record.header.appName, 'n', sizeof record.header.appName);
    rig.store.Add(record);
    EXPECT_EQ(rig.store.GetKeyset(0)->header.appName[31], '\0');
    EXPECT_TRUE(rig.store.NameEquals(0, std::string(31, 'n')));

    ControlAssignment a = *rig.store.GetAssignment(0, 0, 0);
    std::memset(a.windowTitle, 't', sizeof a.windowTitle);
    std::memset(a.windowClass, 'c', sizeof a.windowClass);
    std::memset(a.controlName, 'k', sizeof a.controlName);
    rig.store.SetAssignment(0, 0, 0, a);
    const ControlAssignment stored = *rig.store.GetAssignment(0, 0, 0);
    EXPECT_EQ(ReadField(stored.windowTitle), std::string(255, 't'));
    EXPECT_EQ(ReadField(stored.windowClass), std::string(62, 'c'));
    EXPECT_EQ(ReadField(stored.controlName), std::string(32, 'k'));
}

} // namespace
} // namespace qvl
