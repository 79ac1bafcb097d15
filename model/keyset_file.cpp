#include "model/keyset_file.h"

#include "model/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace qvl {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool FileExists(const std::string& path) {
    return FilePtr(std::fopen(path.c_str(), "rb")) != nullptr;
}

// A name beside the target that no file holds yet, so writing it destroys nothing.
std::string FreeTemporaryName(const std::string& path) {
    for (int n = 0; n < 100; ++n) {
        std::string candidate = path + ".~" + std::to_string(n) + ".tmp";
        if (!FileExists(candidate))
            return candidate;
    }
    return std::string();
}

// Write the header and the record (when there is one) to a new file; false if any byte failed to
// reach the disk.
bool WriteWhole(const std::string& path, const KeysetFileHeader& header, const KeysetRecord* record, int& error) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        error = errno;
        return false;
    }
    bool ok = std::fwrite(&header, sizeof header, 1, file.get()) == 1;
    if (ok && record != nullptr)
        ok = std::fwrite(record, sizeof *record, 1, file.get()) == 1;
    if (ok)
        ok = std::fflush(file.get()) == 0;
    if (!ok)
        error = errno;
    if (std::fclose(file.release()) != 0 && ok) {
        error = errno;
        ok = false;
    }
    return ok;
}

} // namespace

void CKeysetFile::Init(std::string path, KeysetRecord* buffer) {
    path_ = std::move(path);
    buffer_ = buffer;
    std::memcpy(header_.magic, kKeysetFileMagic, sizeof header_.magic);
    header_.format = kKeysetFileFormat;
    header_.size = kKeysetFileSizeValue;
}

KeysetFileResult CKeysetFile::Read() {
    errno = 0;
    FilePtr file(std::fopen(path_.c_str(), "rb"));
    if (file == nullptr)
        return Result(KeysetFileStatus::kCannotOpen, errno);

    // Everything goes into scratch space first: the caller's record changes only when the file held a
    // whole one.
    KeysetFileHeader header = {};
    KeysetRecord record;
    const bool complete = std::fread(&header, sizeof header, 1, file.get()) == 1 &&
                          std::memcmp(header.magic, kKeysetFileMagic, sizeof header.magic) == 0 &&
                          std::fread(&record, sizeof record, 1, file.get()) == 1;
    if (!complete) {
        if (std::ferror(file.get()))
            return Result(KeysetFileStatus::kCannotOpen, errno);
        return Result(KeysetFileStatus::kNotValid);
    }

    header_ = header;
    if (buffer_ != nullptr) {
        // The strings came from outside: each must end within its field before anyone reads it.
        TerminateStrings(record);
        *buffer_ = record;
    }
    return Result(KeysetFileStatus::kDone);
}

KeysetFileResult CKeysetFile::Write() {
    const std::string temporary = FreeTemporaryName(path_);
    int error = 0;
    if (temporary.empty() || !WriteWhole(temporary, header_, buffer_, error)) {
        if (!temporary.empty())
            std::remove(temporary.c_str());
        return Result(KeysetFileStatus::kCannotWrite, error);
    }
    if (!ReplaceFileWith(temporary.c_str(), path_.c_str())) {
        std::remove(temporary.c_str());
        return Result(KeysetFileStatus::kCannotWrite);
    }
    return Result(KeysetFileStatus::kDone);
}

} // namespace qvl
