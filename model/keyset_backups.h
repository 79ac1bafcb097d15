// The automatic backups of the keysets: collections named "Keysets YYYY-MM-DD HHMMSS.qvlx" (local time)
// in one folder, of which the newest 20 are kept. Files of any other name in the folder are never
// touched. A backup identical to the newest one is not written again.
#pragma once

#include "model/backup_ports.h"
#include "model/keyset_collection.h"

#include <optional>
#include <string>
#include <vector>

namespace qvl {

constexpr std::size_t kBackupsKept = 20;

struct BackupEntry {
    std::string name; // the file's name in the folder
    LocalTime time;
    int sequence = 1; // a second backup within the same second is "... HHMMSS (2).qvlx"
};

// The file name of a backup taken at `time`, and the time a backup's name gives (nothing: the name
// is not a backup's).
std::string BackupName(const LocalTime& time, int sequence = 1);
std::optional<BackupEntry> ParseBackupName(const std::string& name);

struct BackupResult {
    enum class Status { kWritten, kUnchanged, kFailed };
    Status status = Status::kWritten;
    int error = 0; // kFailed: the C library's errno, 0 when none is known
    std::string name;
};

class CKeysetBackups {
public:
    CKeysetBackups(BackupFolder& folder, const LocalClock& clock) : folder_(folder), clock_(clock) {}

    // The backups in the folder, newest first.
    std::vector<BackupEntry> List() const;
    // Write a backup of `keysets` (with their rules and steps) unless the newest backup holds exactly
    // them, then keep the newest 20.
    BackupResult Write(const std::vector<KeysetRecord>& keysets, const std::vector<WindowRule>& rules = {},
                       const std::vector<KeysetSteps>& steps = {});
    // Read one backup; false when it could not be read.
    bool Read(const std::string& name, CollectionRead& read, int& error) const;
    std::string Path() const { return folder_.Path(); }

private:
    void Rotate(const std::vector<BackupEntry>& before, const std::string& written);

    BackupFolder& folder_;
    const LocalClock& clock_;
};

} // namespace qvl
