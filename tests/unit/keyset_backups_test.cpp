#include "model/keyset_backups.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace qvl {
namespace {

class FakeFolder final : public BackupFolder {
public:
    std::vector<std::string> List() const override {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files)
            names.push_back(name);
        return names;
    }
    WholeFileResult Read(const std::string& name, std::size_t limit, std::string& bytes) const override {
        const auto found = files.find(name);
        if (found == files.end())
            return {false, 2};
        bytes = found->second.substr(0, limit + 1);
        return {true, 0};
    }
    WholeFileResult Write(const std::string& name, std::string_view bytes) override {
        if (full)
            return {false, 28};
        files[name] = std::string(bytes);
        return {true, 0};
    }
    bool Remove(const std::string& name) override { return files.erase(name) == 1; }
    std::string Path() const override { return "C:\\Backups"; }

    std::map<std::string, std::string> files;
    bool full = false;
};

class FakeClock final : public LocalClock {
public:
    LocalTime Now() const override { return now; }
    LocalTime now{2026, 12, 10, 9, 5, 0};
};

std::vector<KeysetRecord> Keysets(int count) {
    std::vector<KeysetRecord> keysets(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        std::memset(&keysets[static_cast<std::size_t>(n)], 0, sizeof(KeysetRecord));
        std::snprintf(keysets[static_cast<std::size_t>(n)].header.appName, 32, "keyset%d", n);
    }
    return keysets;
}

TEST(KeysetBackups, TwentyOneBackupsLeaveTheNewestTwentyAndNothingElseIsTouched) {
    FakeFolder folder;
    FakeClock clock;
    folder.files["notes.txt"] = "mine";
    folder.files["Keysets 2026-1-5 000000.qvlx"] = "not a name we give";
    CKeysetBackups backups(folder, clock);
    for (int n = 1; n <= 21; ++n) {
        clock.now.minute = 10 + n;
        const BackupResult result = backups.Write(Keysets(n));
        ASSERT_EQ(result.status, BackupResult::Status::kWritten) << n;
        EXPECT_EQ(result.name, BackupName(clock.now)) << n;
    }
    const std::vector<BackupEntry> listed = backups.List();
    ASSERT_EQ(listed.size(), 20u);
    EXPECT_EQ(listed.front().name, "Keysets 2026-12-10 093100.qvlx");
    EXPECT_EQ(listed.back().name, "Keysets 2026-12-10 091200.qvlx");
    EXPECT_EQ(folder.files.count("Keysets 2026-12-10 091100.qvlx"), 0u);
    EXPECT_EQ(folder.files.at("notes.txt"), "mine");
    EXPECT_EQ(folder.files.count("Keysets 2026-1-5 000000.qvlx"), 1u);
    EXPECT_EQ(folder.files.size(), 22u);
}

TEST(KeysetBackups, WrittenOnlyWhenTheKeysetsDifferFromTheNewest) {
    FakeFolder folder;
    FakeClock clock;
    CKeysetBackups backups(folder, clock);
    ASSERT_EQ(backups.Write(Keysets(2)).status, BackupResult::Status::kWritten);
    EXPECT_EQ(backups.Write(Keysets(2)).status, BackupResult::Status::kUnchanged);
    // Changed within the same second: a second name, which sorts as the newer one.
    const BackupResult changed = backups.Write(Keysets(3));
    EXPECT_EQ(changed.name, "Keysets 2026-12-10 090500 (2).qvlx");
    EXPECT_EQ(backups.List().front().name, changed.name);
    CollectionRead read;
    int error = 0;
    ASSERT_TRUE(backups.Read(changed.name, read, error));
    EXPECT_EQ(read.keysets.size(), 3u);

    folder.full = true;
    clock.now.second = 7;
    const BackupResult failed = backups.Write(Keysets(4));
    EXPECT_EQ(failed.status, BackupResult::Status::kFailed);
    EXPECT_EQ(failed.error, 28);
    EXPECT_EQ(folder.files.size(), 2u);
}

} // namespace
} // namespace qvl
