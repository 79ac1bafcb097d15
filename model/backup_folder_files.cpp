#include "model/backup_folder_files.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace qvl {

namespace fs = std::filesystem;

std::string FileBackupFolder::File(const std::string& name) const {
    return (fs::path(path_) / name).string();
}

std::vector<std::string> FileBackupFolder::List() const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(path_, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error))
            names.push_back(it->path().filename().string());
    return names;
}

WholeFileResult FileBackupFolder::Read(const std::string& name, std::size_t limit, std::string& bytes) const {
    return ReadFileBounded(File(name), limit, bytes);
}

WholeFileResult FileBackupFolder::Write(const std::string& name, std::string_view bytes) {
    if (path_.empty())
        return {false, ENOENT};
    std::error_code error;
    fs::create_directories(path_, error);
    if (error) {
        const std::error_condition why = error.default_error_condition();
        return {false, why.category() == std::generic_category() ? why.value() : 0};
    }
    return WriteFileReplacing(File(name), bytes);
}

bool FileBackupFolder::Remove(const std::string& name) {
    return std::remove(File(name).c_str()) == 0;
}

LocalTime SystemLocalClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

} // namespace qvl
