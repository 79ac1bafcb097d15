#include "model/keyset_collection.h"
#include "model/keyset_file.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace qvl {
namespace {

KeysetRecord Named(const char* name, std::uint8_t fill) {
    KeysetRecord record;
    std::memset(&record, 0, sizeof record);
    std::strcpy(record.header.appName, name);
    record.banks[2].controls[4].hotKeyVk = fill;
    std::memset(record.banks[3].controls[6].windowTitle, 'a' + fill % 26, 255);
    return record;
}

void PutU32At(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// A changed collection with its checksum made right again, so the damage behind it is what is seen.
std::string Resealed(std::string bytes) {
    const std::size_t summed = bytes.size() - kCollectionChecksumLength;
    PutU32At(bytes, summed, CollectionChecksum(std::string_view(bytes).substr(0, summed)));
    return bytes;
}

TEST(KeysetCollection, CarriesEachKeysetFileByteForByteAndReadsBack) {
    const std::vector<KeysetRecord> keysets = {Named("Default", 1), Named("notepad", 2), Named("wordpad", 3)};
    const std::string bytes = CollectionBytes(keysets);

    ASSERT_EQ(bytes.size(), 12 + 3 * (4 + kKeysetFileLength) + 4);
    EXPECT_EQ(bytes.substr(0, 12), std::string("QVLX\1\0\0\0\3\0\0\0", 12));
    KeysetRecord second = keysets[1];
    CKeysetFile file;
    file.Init(std::string(), &second);
    EXPECT_EQ(bytes.substr(12 + 4 + kKeysetFileLength + 4, kKeysetFileLength), file.Bytes());

    const testing::ScratchFolder folder;
    const std::string path = folder.File("all.qvlx");
    ASSERT_TRUE(WriteCollectionFile(path, keysets).done);
    CollectionRead read;
    int error = 0;
    ASSERT_TRUE(ReadCollectionFile(path, read, error));
    ASSERT_TRUE(read.Sound());
    ASSERT_EQ(read.keysets.size(), 3u);
    for (std::size_t n = 0; n < keysets.size(); ++n)
        EXPECT_EQ(std::memcmp(&read.keysets[n].record, &keysets[n], sizeof keysets[n]), 0) << n;
    EXPECT_TRUE(ReadCollectionBytes(CollectionBytes({})).Sound());
}

// The rule travels in each keyset's file; a keyset written without one reads back as "no trailer", so an
// import leaves the rule the list has.
TEST(KeysetCollection, CarriesEachKeysetsWindowRule) {
    const WindowRule video{"browser", "Video", ""};
    const CollectionRead read =
        ReadCollectionBytes(CollectionBytes({Named("Default", 1), Named("browser - Video", 2)}, {WindowRule(), video}));
    ASSERT_TRUE(read.Sound());
    ASSERT_EQ(read.keysets.size(), 2u);
    EXPECT_EQ(read.keysets[0].rule, WindowRule());
    EXPECT_EQ(read.keysets[1].rule, video);
    EXPECT_EQ(ReadCollectionBytes(CollectionBytes({Named("notepad", 3)})).keysets[0].rule, std::nullopt);
}

TEST(KeysetCollection, RefusesEveryKindOfDamageWhole) {
    const std::string good = CollectionBytes({Named("Default", 1), Named("notepad", 2)});
    const std::size_t second = 12 + 4 + kKeysetFileLength; // the second keyset's length
    struct Case {
        const char* what;
        std::function<std::string(std::string)> damage;
        CollectionDamage expected;
        std::size_t where;
    };
    const Case cases[] = {
        {"wrong magic", [](std::string b) { return b.replace(0, 4, "QVL2"); }, CollectionDamage::kNotACollection, 0},
        {"empty", [](std::string) { return std::string(); }, CollectionDamage::kEndsEarly, 0},
        {"later version", [](std::string b) { return PutU32At(b, 4, 2), Resealed(b); },
         CollectionDamage::kUnknownVersion, 0},
        {"truncated", [](std::string b) { return b.substr(0, b.size() - 5000); }, CollectionDamage::kEndsEarly, 2},
        {"checksum wrong", [](std::string b) { return b[500] ^= 1, b; }, CollectionDamage::kChecksumWrong, 0},
        {"count too large", [](std::string b) { return PutU32At(b, 8, 0xFFFFFFFF), Resealed(b); },
         CollectionDamage::kCountDoesNotFit, 0},
        {"count too small", [](std::string b) { return PutU32At(b, 8, 1), Resealed(b); },
         CollectionDamage::kCountDoesNotFit, 0},
        {"length past the end", [&](std::string b) { return PutU32At(b, second, 0x7FFFFFFF), Resealed(b); },
         CollectionDamage::kEndsEarly, 2},
        {"keyset too short",
         [&](std::string b) { return Resealed(b.substr(0, second) + std::string("\4\0\0\0QVL2----", 12)); },
         CollectionDamage::kNotAKeyset, 2},
        {"keyset magic", [&](std::string b) { return b[second + 4] = 'X', Resealed(b); }, CollectionDamage::kNotAKeyset,
         2},
        {"name not ended",
         [&](std::string b) { return b.replace(second + 4 + 12, 32, std::string(32, 'n')), Resealed(b); },
         CollectionDamage::kStringNotEnded, 2},
    };
    for (const Case& c : cases) {
        const CollectionRead read = ReadCollectionBytes(c.damage(good));
        EXPECT_EQ(read.damage, c.expected) << c.what;
        EXPECT_EQ(read.where, c.where) << c.what;
        EXPECT_TRUE(read.keysets.empty()) << c.what;
    }
}

} // namespace
} // namespace qvl
