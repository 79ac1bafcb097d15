#include "model/keyset_file.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace qvl {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Store(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes RecordBytes(const KeysetRecord& record) {
    const auto* begin = reinterpret_cast<const unsigned char*>(&record);
    return Bytes(begin, begin + sizeof record);
}

// A header with the given values followed by `record`.
Bytes FileBytes(const char magic[4], std::uint32_t format, std::uint32_t size, const KeysetRecord& record) {
    Bytes bytes(magic, magic + 4);
    for (std::uint32_t value : {format, size})
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(value >> shift));
    Bytes body = RecordBytes(record);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

std::ptrdiff_t EntryCount(const std::filesystem::path& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
}

KeysetRecord NewKeyset(const char* name) {
    KeysetRecord record;
    InitKeyset(record, name, 0, NoStrings());
    return record;
}

// A record whose every byte is `fill`, to see whether a read touched it.
KeysetRecord Sentinel(unsigned char fill = 0xAB) {
    KeysetRecord record;
    std::memset(&record, fill, sizeof record);
    return record;
}

class KeysetFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.Ok()); }

    KeysetFileResult Export(const std::string& path, KeysetRecord* record) {
        CKeysetFile file;
        file.Init(path, record);
        return file.Write();
    }
    KeysetFileResult Import(const std::string& path, KeysetRecord* record) {
        CKeysetFile file;
        file.Init(path, record);
        return file.Read();
    }
    void ExpectRefused(const std::string& path) {
        KeysetRecord record = Sentinel();
        EXPECT_EQ(Import(path, &record).status, KeysetFileStatus::kNotValid);
        EXPECT_EQ(RecordBytes(record), RecordBytes(Sentinel())) << "the record must stay untouched";
    }

    testing::ScratchFolder folder;
};

TEST_F(KeysetFileTest, ExportOfANewKeysetIsTheHeaderThenTheRecordByteForByte) {
    KeysetRecord record = NewKeyset("waveedit");
    const std::string path = folder.File("waveedit.qvl");
    ASSERT_EQ(Export(path, &record).status, KeysetFileStatus::kDone);

    const Bytes bytes = Load(path);
    ASSERT_EQ(bytes.size(), 10696u);
    const Bytes header = {'Q', 'V', 'L', '2', 0x02, 0x00, 0x01, 0x00, 0xC4, 0x29, 0x00, 0x00};
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 12), header);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[12])), "waveedit");
    EXPECT_EQ(Bytes(bytes.begin() + 12, bytes.end()), RecordBytes(record));
    // The Play assignment of the main bank, as stored: special key 13 at offset 12 of the assignment.
    EXPECT_EQ(bytes[12 + AssignmentOffset(kMainBank, kPlay) + 12], 13);
}

TEST_F(KeysetFileTest, ExportWithoutAKeysetWritesTheHeaderAlone) {
    const std::string path = folder.File("empty.qvl");
    ASSERT_EQ(Export(path, nullptr).status, KeysetFileStatus::kDone);
    EXPECT_EQ(Load(path), (Bytes{'Q', 'V', 'L', '2', 0x02, 0x00, 0x01, 0x00, 0xC4, 0x29, 0x00, 0x00}));
}

TEST_F(KeysetFileTest, ImportGivesBackWhatWasExported) {
    KeysetRecord exported = NewKeyset("notepad");
    AssignmentAt(exported, kShiftBank, kRecord).hotKeyVk = 'R';
    CopyToField(AssignmentAt(exported, kShiftBank, kRecord).windowTitle, "Untitled - Notepad");
    const std::string path = folder.File("notepad.qvl");
    ASSERT_EQ(Export(path, &exported).status, KeysetFileStatus::kDone);

    KeysetRecord imported = Sentinel();
    CKeysetFile file;
    file.Init(path, &imported);
    ASSERT_EQ(file.Read().status, KeysetFileStatus::kDone);
    EXPECT_EQ(RecordBytes(imported), RecordBytes(exported));
    EXPECT_EQ(file.Header().format, 0x00010002u);
    EXPECT_EQ(file.Header().size, 10692u);
}

TEST_F(KeysetFileTest, OnlyTheMagicIsCheckedSoOtherFormatAndSizeValuesAreAccepted) {
    const KeysetRecord stored = NewKeyset("other");
    struct Case {
        std::uint32_t format, size;
    } cases[] = {{0, 0}, {0x00010003, 10692}, {0x00010002, 1}, {0xFFFFFFFF, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        const std::string path = folder.File("values.qvl");
        Store(path, FileBytes("QVL2", c.format, c.size, stored));
        KeysetRecord record = Sentinel();
        CKeysetFile file;
        file.Init(path, &record);
        ASSERT_EQ(file.Read().status, KeysetFileStatus::kDone) << c.format << " " << c.size;
        EXPECT_EQ(RecordBytes(record), RecordBytes(stored));
        // The header carries the values as found.
        EXPECT_EQ(file.Header().format, c.format);
        EXPECT_EQ(file.Header().size, c.size);
    }
}

TEST_F(KeysetFileTest, AWrongMagicIsRefusedEvenWhenTheRestIsAValidKeyset) {
    const KeysetRecord stored = NewKeyset("other");
    const std::string path = folder.File("magic.qvl");
    for (const char* magic : {"QVL3", "qvl2", "QVL\0", "2LVQ"}) {
        Store(path, FileBytes(magic, kKeysetFileFormat, kKeysetFileSizeValue, stored));
        ExpectRefused(path);
    }
}

TEST_F(KeysetFileTest, AFileThatEndsBeforeItsRecordIsRefusedAndTheRecordKeptAsItWas) {
    const Bytes whole = FileBytes("QVL2", kKeysetFileFormat, kKeysetFileSizeValue, NewKeyset("short"));
    const std::string path = folder.File("short.qvl");
    for (std::size_t length :
         {std::size_t{0}, std::size_t{3}, std::size_t{4}, std::size_t{12}, std::size_t{5000}, kKeysetFileLength - 1}) {
        Store(path, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        SCOPED_TRACE(length);
        ExpectRefused(path);
    }
}

TEST_F(KeysetFileTest, BytesBeyondTheRecordAreIgnored) {
    const KeysetRecord stored = NewKeyset("long");
    Bytes bytes = FileBytes("QVL2", kKeysetFileFormat, kKeysetFileSizeValue, stored);
    bytes.insert(bytes.end(), 500, 0x5A);
    const std::string path = folder.File("long.qvl");
    Store(path, bytes);
    KeysetRecord record = Sentinel();
    ASSERT_EQ(Import(path, &record).status, KeysetFileStatus::kDone);
    EXPECT_EQ(RecordBytes(record), RecordBytes(stored));
}

TEST_F(KeysetFileTest, ImportedStringsEndWithinTheirFields) {
    // A file from elsewhere may fill a string field to its end without a terminator.
    KeysetRecord stored = NewKeyset("x");
    std::memset(stored.header.appName, 'n', sizeof stored.header.appName);
    std::memset(AssignmentAt(stored, kMainBank, kPlay).windowClass, 'c', 63);
    const std::string path = folder.File("unterminated.qvl");
    Store(path, FileBytes("QVL2", kKeysetFileFormat, kKeysetFileSizeValue, stored));

    KeysetRecord record = Sentinel();
    ASSERT_EQ(Import(path, &record).status, KeysetFileStatus::kDone);
    EXPECT_EQ(ReadField(record.header.appName), std::string(31, 'n'));
    EXPECT_EQ(ReadField(AssignmentAt(record, kMainBank, kPlay).windowClass), std::string(62, 'c'));
}

TEST_F(KeysetFileTest, AFileThatCannotBeOpenedIsNamedInTheResultAndNothingChanges) {
    const std::string path = folder.File("missing.qvl");
    KeysetRecord record = Sentinel();
    const KeysetFileResult result = Import(path, &record);
    EXPECT_EQ(result.status, KeysetFileStatus::kCannotOpen);
    EXPECT_EQ(result.path, path);
    EXPECT_EQ(result.error, ENOENT);
    EXPECT_EQ(RecordBytes(record), RecordBytes(Sentinel()));
}

TEST_F(KeysetFileTest, AnExportToAMissingFolderFailsWithAResultNamingTheFile) {
    KeysetRecord record = NewKeyset("nowhere");
    const std::string path = folder.File("no such folder/nowhere.qvl");
    const KeysetFileResult result = Export(path, &record);
    EXPECT_EQ(result.status, KeysetFileStatus::kCannotWrite);
    EXPECT_EQ(result.path, path);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(KeysetFileTest, AnExportReplacesAnOlderFileAndLeavesNoTemporaryBehind) {
    const std::string path = folder.File("keep.qvl");
    const std::string userFile = folder.File("keep.qvl.~0.tmp"); // someone else's file of the same name
    Store(path, Bytes(20000, 0x11));
    Store(userFile, Bytes{1, 2, 3});

    KeysetRecord record = NewKeyset("keep");
    ASSERT_EQ(Export(path, &record).status, KeysetFileStatus::kDone);
    EXPECT_EQ(Load(path).size(), kKeysetFileLength);
    EXPECT_EQ(Load(userFile), (Bytes{1, 2, 3}));
    EXPECT_EQ(EntryCount(folder.Path()), 2);
}

TEST_F(KeysetFileTest, AnExportThatCannotTakeThePlaceOfTheTargetLeavesItAndNoTemporary) {
    // A folder stands where the file should go: the finished file cannot replace it.
    const std::string path = folder.File("taken.qvl");
    std::filesystem::create_directory(path);
    KeysetRecord record = NewKeyset("taken");
    const KeysetFileResult result = Export(path, &record);
    EXPECT_EQ(result.status, KeysetFileStatus::kCannotWrite);
    EXPECT_EQ(result.path, path);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(EntryCount(folder.Path()), 1);
}

// The rule follows the record; a file without it (an older writer's) or with a damaged one says
// nothing of a rule, one with empty fields says there is none.
TEST_F(KeysetFileTest, TheRuleTrailerFollowsTheRecordAndOlderFilesHaveNone) {
    const std::string path = folder.File("video.qvl");
    KeysetRecord record = NewKeyset("browser - Video");
    CKeysetFile writer;
    writer.Init(path, &record);
    writer.SetRule({"browser", "Video", "Frame"});
    ASSERT_TRUE(writer.Write().Done());
    const Bytes written = Load(path);
    const Bytes trailer(written.begin() + kKeysetFileLength, written.end());
    EXPECT_EQ(trailer, (Bytes{'R', 'U', 'L', 'E', 23,  0,   0,   0,   7, 0, 'b', 'r', 'o', 'w', 's', 'e',
                              'r', 5,   0,   'V', 'i', 'd', 'e', 'o', 5, 0, 'F', 'r', 'a', 'm', 'e'}));

    const auto ruleOf = [&](const Bytes& bytes) {
        Store(path, bytes);
        KeysetRecord read = Sentinel();
        CKeysetFile reader;
        reader.Init(path, &read);
        EXPECT_TRUE(reader.Read().Done());
        EXPECT_EQ(RecordBytes(read), RecordBytes(record));
        return reader.Rule();
    };
    EXPECT_EQ(ruleOf(written), (WindowRule{"browser", "Video", "Frame"}));
    const Bytes older(written.begin(), written.begin() + kKeysetFileLength);
    EXPECT_FALSE(ruleOf(older).has_value());
    EXPECT_FALSE(ruleOf(Bytes(written.begin(), written.end() - 1)).has_value());
    Bytes none = older;
    for (unsigned char byte : EncodeRuleTrailer(WindowRule()))
        none.push_back(byte);
    ASSERT_TRUE(ruleOf(none).has_value());
    EXPECT_TRUE(ruleOf(none)->Empty());
}

} // namespace
} // namespace qvl
