#include "model/keyset_file.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace qvl {
namespace {

std::string TemporaryFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(sizeof path, path);
    return path;
}

DWORD FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return data.nFileSizeLow;
}

// The C library cannot rename over an existing file on Windows; an export over an older file must
// still replace it.
TEST(KeysetFileWin32, AnExportReplacesAnOlderFileAndImportsBack) {
    const std::string path = TemporaryFolder() + "qvl-keyset-file-test.qvl";
    {
        HANDLE older = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(older, INVALID_HANDLE_VALUE);
        std::vector<char> junk(30000, 'j');
        DWORD written = 0;
        WriteFile(older, junk.data(), static_cast<DWORD>(junk.size()), &written, nullptr);
        CloseHandle(older);
    }

    KeysetRecord exported;
    InitKeyset(exported, "wavelab", 0, NoStrings());
    CKeysetFile writer;
    writer.Init(path, &exported);
    ASSERT_EQ(writer.Write().status, KeysetFileStatus::kDone);
    EXPECT_EQ(FileSize(path), kKeysetFileLength);

    KeysetRecord imported;
    std::memset(&imported, 0xAB, sizeof imported);
    CKeysetFile reader;
    reader.Init(path, &imported);
    ASSERT_EQ(reader.Read().status, KeysetFileStatus::kDone);
    EXPECT_EQ(std::memcmp(&imported, &exported, sizeof imported), 0);
    DeleteFileA(path.c_str());
}

// A file opened by another program without sharing cannot be replaced: the export fails, naming
// the file, and the file keeps its contents.
TEST(KeysetFileWin32, AnExportOverAFileInUseLeavesItAsItWas) {
    const std::string path = TemporaryFolder() + "qvl-keyset-file-busy.qvl";
    HANDLE busy = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(busy, "old", 3, &written, nullptr);

    KeysetRecord exported;
    InitKeyset(exported, "busy", 0, NoStrings());
    CKeysetFile writer;
    writer.Init(path, &exported);
    const KeysetFileResult result = writer.Write();
    EXPECT_EQ(result.status, KeysetFileStatus::kCannotWrite);
    EXPECT_EQ(result.path, path);
    CloseHandle(busy);

    EXPECT_EQ(FileSize(path), 3u);
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((path + ".~*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left behind";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    DeleteFileA(path.c_str());
}

} // namespace
} // namespace qvl
