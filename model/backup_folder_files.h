// The backups' folder and clock as the system has them: files in a folder of the file system, and the
// local time of the C library. Portable, so the host builds them too.
#pragma once

#include "model/backup_ports.h"

namespace qvl {

class FileBackupFolder final : public BackupFolder {
public:
    explicit FileBackupFolder(std::string path) : path_(std::move(path)) {}
    std::vector<std::string> List() const override;
    WholeFileResult Read(const std::string& name, std::size_t limit, std::string& bytes) const override;
    WholeFileResult Write(const std::string& name, std::string_view bytes) override;
    bool Remove(const std::string& name) override;
    std::string Path() const override { return path_; }

private:
    std::string File(const std::string& name) const;
    std::string path_;
};

class SystemLocalClock final : public LocalClock {
public:
    LocalTime Now() const override;
};

} // namespace qvl
