#include "model/keyset_file.h"

#include "model/whole_file.h"

#include <cstring>

namespace qvl {

void CKeysetFile::Init(std::string path, KeysetRecord* buffer) {
    path_ = std::move(path);
    buffer_ = buffer;
    std::memcpy(header_.magic, kKeysetFileMagic, sizeof header_.magic);
    header_.format = kKeysetFileFormat;
    header_.size = kKeysetFileSizeValue;
}

KeysetFileResult CKeysetFile::Read() {
    std::string bytes;
    const WholeFileResult read = ReadFileBounded(path_, kKeysetFileReadLimit, bytes);
    if (!read.done)
        return Result(KeysetFileStatus::kCannotOpen, read.error);
    return Result(ReadBytes(bytes));
}

KeysetFileStatus CKeysetFile::ReadBytes(std::string_view bytes) {
    // Everything goes into scratch space first: the caller's record changes only when the bytes hold a
    // whole one.
    KeysetFileHeader header = {};
    KeysetRecord record;
    if (bytes.size() < kKeysetFileLength)
        return KeysetFileStatus::kNotValid;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (std::memcmp(header.magic, kKeysetFileMagic, sizeof header.magic) != 0)
        return KeysetFileStatus::kNotValid;
    std::memcpy(&record, bytes.data() + sizeof header, sizeof record);

    header_ = header;
    if (buffer_ != nullptr) {
        // The strings came from outside: each must end within its field before anyone reads it.
        TerminateStrings(record);
        *buffer_ = record;
    }
    return KeysetFileStatus::kDone;
}

std::string CKeysetFile::Bytes() const {
    std::string bytes(reinterpret_cast<const char*>(&header_), sizeof header_);
    if (buffer_ != nullptr)
        bytes.append(reinterpret_cast<const char*>(buffer_), sizeof *buffer_);
    return bytes;
}

KeysetFileResult CKeysetFile::Write() {
    const WholeFileResult written = WriteFileReplacing(path_, Bytes());
    return written.done ? Result(KeysetFileStatus::kDone) : Result(KeysetFileStatus::kCannotWrite, written.error);
}

} // namespace qvl
