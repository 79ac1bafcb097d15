#include "model/keyset_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace qvl {
namespace {

// The editor's string table as far as the control names go.
class EditorNames final : public StringSource {
public:
    EditorNames() {
        const char* transport[4][5] = {
            {"Play", "Stop", "Fast Forward", "Rewind", "Record"},
            {"Option+Play", "Option+Stop", "Option+Fast Forward", "Option+Rewind", "Option+Record"},
            {"Shift+Play", "Shift+Stop", "Shift+Fast Forward", "Shift+Rewind", "Shift+Record"},
            {"Option+Shift+Play", "Option+Shift+Stop", "Option+Shift+Fast Forward", "Option+Shift+Rewind",
             "Option+Shift+Record"},
        };
        for (int bank = 0; bank < 4; ++bank)
            for (int control = 0; control < 5; ++control)
                texts[kTransportNameIds[bank][control]] = transport[bank][control];
        texts[kWheelNameId] = "Wheel";
    }
    std::size_t Load(unsigned id, char* buffer, std::size_t size) const override {
        auto found = texts.find(id);
        if (found == texts.end() || size == 0)
            return 0;
        std::size_t length = std::min(found->second.size(), size - 1);
        std::memcpy(buffer, found->second.data(), length);
        buffer[length] = '\0';
        return length;
    }
    std::map<unsigned, std::string> texts;
};

KeysetRecord NewKeyset(const char* name, const StringSource& names) {
    KeysetRecord record;
    std::memset(&record, 0xCD, sizeof record); // stale bytes must not survive where they matter
    InitKeyset(record, name, 0, names);
    return record;
}

TEST(KeysetDefaults, ExactlyFourKeySettingsAreSet) {
    const KeysetRecord record = NewKeyset("Default", NoStrings());
    int withKey = 0;
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int control = 0; control < kControlCount; ++control) {
            const ControlAssignment& a = AssignmentAt(record, bank, control);
            SCOPED_TRACE(testing::Message() << "bank " << bank << " control " << control);
            EXPECT_EQ(a.captureOnFirstPress, 0);
            EXPECT_EQ(a.wheelSpeed, 64);
            EXPECT_EQ(a.flagCode, 128);
            EXPECT_EQ(a.mouseMode, 0);
            EXPECT_EQ(a.clickX, -1);
            EXPECT_EQ(a.clickY, -1);
            EXPECT_EQ(a.windowTitle[0], '\0');
            EXPECT_EQ(a.windowClass[0], '\0');
            if (a.hotKeyVk != 0 || a.hotKeyMods != 0 || a.specialKey != 0)
                ++withKey;
        }
    }
    EXPECT_EQ(withKey, 4);
    EXPECT_EQ(AssignmentAt(record, kMainBank, kPlay).specialKey, 13u);
    EXPECT_EQ(AssignmentAt(record, kMainBank, kStop).specialKey, 32u);
    const ControlAssignment& left = AssignmentAt(record, kMainBank, kWheelCounterClockwise);
    const ControlAssignment& right = AssignmentAt(record, kMainBank, kWheelClockwise);
    EXPECT_EQ(left.hotKeyVk, 37);
    EXPECT_EQ(left.hotKeyMods, 8);
    EXPECT_EQ(left.specialKey, 0u);
    EXPECT_EQ(right.hotKeyVk, 39);
    EXPECT_EQ(right.hotKeyMods, 8);
}

TEST(KeysetDefaults, HeaderCarriesNameAndReservedValue) {
    KeysetRecord record;
    std::memset(&record, 0xCD, sizeof record);
    InitKeyset(record, "notepad", 7, NoStrings());
    EXPECT_STREQ(record.header.appName, "notepad");
    EXPECT_EQ(record.header.reservedA, 7);
    EXPECT_EQ(record.header.reservedB, 0);
    EXPECT_EQ(record.header.reservedC, 0);
    EXPECT_EQ(record.header.reservedFlag, 0);
    // Nothing stale behind the name: the stored bytes of a new keyset are deterministic.
    for (std::size_t i = std::strlen("notepad"); i < sizeof record.header.appName; ++i)
        EXPECT_EQ(record.header.appName[i], '\0') << i;
}

TEST(KeysetDefaults, EditorNamesEveryControlFromItsStringTable) {
    const KeysetRecord record = NewKeyset("Default", EditorNames());
    const char* expected[4][7] = {
        {"Play", "Stop", "Fast Forward", "Rewind", "Record", "Wheel", "Wheel"},
        {"Option+Play", "Option+Stop", "Option+Fast Forward", "Option+Rewind", "Option+Record", "Wheel LED Off",
         "Wheel LED Off"},
        {"Shift+Play", "Shift+Stop", "Shift+Fast Forward", "Shift+Rewind", "Shift+Record", "", ""},
        {"Option+Shift+Play", "Option+Shift+Stop", "Option+Shift+Fast Forward", "Option+Shift+Rewind",
         "Option+Shift+Record", "", ""},
    };
    for (int bank = 0; bank < kBankCount; ++bank)
        for (int control = 0; control < kControlCount; ++control)
            EXPECT_STREQ(AssignmentAt(record, bank, control).controlName, expected[bank][control])
                << "bank " << bank << " control " << control;
}

TEST(KeysetDefaults, DriverHasOnlyTheFixedWheelLedOffNames) {
    const KeysetRecord record = NewKeyset("Default", NoStrings());
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int control = 0; control < kControlCount; ++control) {
            const bool fixed = bank == kOptionBank && IsWheelControl(control);
            EXPECT_STREQ(AssignmentAt(record, bank, control).controlName, fixed ? "Wheel LED Off" : "")
                << "bank " << bank << " control " << control;
        }
    }
}

TEST(KeysetDefaults, LongTextsAreCutToTheirFields) {
    EditorNames names;
    names.texts[kTransportNameIds[0][0]] = std::string(60, 'n');
    KeysetRecord record;
    InitKeyset(record, std::string(45, 'a').c_str(), 1234, names);
    EXPECT_EQ(std::string(record.header.appName), std::string(31, 'a'));
    EXPECT_EQ(record.header.reservedA, 1234); // the field behind the name is intact
    const ControlAssignment& play = AssignmentAt(record, kMainBank, kPlay);
    EXPECT_EQ(std::string(play.controlName), std::string(32, 'n'));
    EXPECT_EQ(AssignmentAt(record, kMainBank, kStop).captureOnFirstPress, 0); // the next record is intact
}

TEST(KeysetLayout, AssignmentsSitAtTheirStoredOffsets) {
    KeysetRecord record = NewKeyset("Default", NoStrings());
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    struct Case {
        int bank, control;
        std::size_t offset;
    } cases[] = {{0, 0, 44}, {1, 0, 2704}, {2, 6, 7644}, {3, 4, 9544}, {3, 6, 10304}};
    for (const Case& c : cases) {
        EXPECT_EQ(AssignmentOffset(c.bank, c.control), c.offset);
        AssignmentAt(record, c.bank, c.control).clickX = 0x11223344;
        // clickX sits at 20 within the assignment, little-endian.
        EXPECT_EQ(bytes[c.offset + 20], 0x44);
        EXPECT_EQ(bytes[c.offset + 23], 0x11);
    }
}

TEST(KeysetFields, UnterminatedFieldsAreReadAndRewrittenWithinTheirBounds) {
    ControlAssignment a;
    InitAssignment(a);
    std::memset(a.windowClass, 'c', sizeof a.windowClass);
    std::memset(a.controlName, 'x', sizeof a.controlName);
    EXPECT_EQ(ReadField(a.windowClass), std::string(63, 'c'));
    TerminateStrings(a);
    EXPECT_EQ(std::string(a.windowClass), std::string(62, 'c'));
    EXPECT_EQ(std::string(a.controlName), std::string(32, 'x'));

    char field[4];
    CopyToField(field, "abcdef");
    EXPECT_STREQ(field, "abc");
    CopyToField(field, nullptr);
    EXPECT_STREQ(field, "");
}

TEST(KeysetTables, RegistryNames) {
    const char* controls[] = {"Play", "Stop", "FF", "RR", "Record", "CCWheel", "CWheel"};
    const char* banks[] = {"MainBank", "Option Bank", "Shift Bank", "Option+Shift Bank"};
    for (int i = 0; i < kControlCount; ++i)
        EXPECT_STREQ(kControlValueNames[i], controls[i]);
    for (int i = 0; i < kBankCount; ++i)
        EXPECT_STREQ(kBankKeyNames[i], banks[i]);
}

} // namespace
} // namespace qvl
