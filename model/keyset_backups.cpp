#include "model/keyset_backups.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace qvl {

namespace {

auto Key(const BackupEntry& entry) {
    const LocalTime& t = entry.time;
    return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second, entry.sequence);
}

bool SameSecond(const LocalTime& a, const LocalTime& b) {
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second) ==
           std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

} // namespace

std::string BackupName(const LocalTime& t, int sequence) {
    char name[80];
    std::snprintf(name, sizeof name, "Keysets %04d-%02d-%02d %02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::string result = name;
    if (sequence > 1)
        result += " (" + std::to_string(sequence) + ")";
    return result + ".qvlx";
}

std::optional<BackupEntry> ParseBackupName(const std::string& name) {
    BackupEntry entry;
    LocalTime& t = entry.time;
    int used = 0;
    if (std::sscanf(name.c_str(), "Keysets %4d-%2d-%2d %2d%2d%2d%n", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second, &used) != 6)
        return std::nullopt;
    const std::string rest = name.substr(static_cast<std::size_t>(used));
    if (rest != ".qvlx" && std::sscanf(rest.c_str(), " (%6d)", &entry.sequence) != 1)
        return std::nullopt;
    // Only the very names this program gives count: "Keysets 2026-1-5 ..." or a copy's name do not.
    if (entry.sequence < 1 || BackupName(t, entry.sequence) != name)
        return std::nullopt;
    entry.name = name;
    return entry;
}

std::vector<BackupEntry> CKeysetBackups::List() const {
    std::vector<BackupEntry> entries;
    for (const std::string& name : folder_.List())
        if (std::optional<BackupEntry> entry = ParseBackupName(name))
            entries.push_back(*entry);
    std::sort(entries.begin(), entries.end(),
              [](const BackupEntry& a, const BackupEntry& b) { return Key(a) > Key(b); });
    return entries;
}

BackupResult CKeysetBackups::Write(const std::vector<KeysetRecord>& keysets, const std::vector<WindowRule>& rules,
                                   const std::vector<KeysetSteps>& steps) {
    const std::vector<BackupEntry> before = List();
    const std::string bytes = CollectionBytes(keysets, rules, steps);
    BackupResult result;
    if (!before.empty()) {
        std::string newest;
        if (folder_.Read(before.front().name, bytes.size(), newest).done && newest == bytes) {
            result.status = BackupResult::Status::kUnchanged;
            result.name = before.front().name;
            return result;
        }
    }
    const LocalTime now = clock_.Now();
    int sequence = 1;
    for (const BackupEntry& entry : before)
        if (SameSecond(entry.time, now))
            sequence = std::max(sequence, entry.sequence + 1);
    result.name = BackupName(now, sequence);
    const WholeFileResult written = folder_.Write(result.name, bytes);
    if (!written.done) {
        result.status = BackupResult::Status::kFailed;
        result.error = written.error;
        return result;
    }
    Rotate(before, result.name);
    return result;
}

void CKeysetBackups::Rotate(const std::vector<BackupEntry>& before, const std::string& written) {
    // The one just written counts among the kept, newest or not (a clock set back), and is never removed.
    std::size_t kept = 1;
    for (const BackupEntry& entry : before) {
        if (entry.name == written)
            continue;
        if (kept < kBackupsKept)
            ++kept;
        else
            folder_.Remove(entry.name);
    }
}

bool CKeysetBackups::Read(const std::string& name, CollectionRead& read, int& error) const {
    std::string bytes;
    const WholeFileResult got = folder_.Read(name, kCollectionReadLimit, bytes);
    if (!got.done) {
        error = got.error;
        return false;
    }
    read = ReadCollectionBytes(bytes);
    return true;
}

} // namespace qvl
