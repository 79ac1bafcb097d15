// What the keyset backups need from the system: the folder that holds them and the local time. The
// editor's adapters reach the file system and the system clock; tests use fakes.
#pragma once

#include "model/whole_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace qvl {

class BackupFolder {
public:
    BackupFolder() = default;
    BackupFolder(const BackupFolder&) = delete;
    BackupFolder& operator=(const BackupFolder&) = delete;
    virtual ~BackupFolder() = default;

    // The names of the files in the folder (none when it does not exist yet).
    virtual std::vector<std::string> List() const = 0;
    // Read file `name` whole, up to `limit` + 1 bytes.
    virtual WholeFileResult Read(const std::string& name, std::size_t limit, std::string& bytes) const = 0;
    // Write file `name` (making the folder first when needed), replacing it only when complete.
    virtual WholeFileResult Write(const std::string& name, std::string_view bytes) = 0;
    virtual bool Remove(const std::string& name) = 0;
    // Where the folder is, for the user.
    virtual std::string Path() const = 0;
};

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class LocalClock {
public:
    LocalClock() = default;
    LocalClock(const LocalClock&) = delete;
    LocalClock& operator=(const LocalClock&) = delete;
    virtual ~LocalClock() = default;
    virtual LocalTime Now() const = 0;
};

} // namespace qvl
