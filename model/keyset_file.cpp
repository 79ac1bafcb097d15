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

void PutLittleEndian(std::vector<unsigned char>& bytes, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::uint32_t GetLittleEndian(const unsigned char* bytes, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

// Write the header, the record (when there is one) and the trailer to a new file; false if any byte
// failed to reach the disk.
bool WriteWhole(const std::string& path, const KeysetFileHeader& header, const KeysetRecord* record,
                const std::vector<unsigned char>& trailer, int& error) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        error = errno;
        return false;
    }
    bool ok = std::fwrite(&header, sizeof header, 1, file.get()) == 1;
    if (ok && record != nullptr)
        ok = std::fwrite(record, sizeof *record, 1, file.get()) == 1;
    if (ok && record != nullptr && !trailer.empty())
        ok = std::fwrite(trailer.data(), trailer.size(), 1, file.get()) == 1;
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

std::vector<unsigned char> EncodeRuleTrailer(const WindowRule& rule) {
    const WindowRule bounded = Bounded(rule);
    std::vector<unsigned char> bytes(kRuleTrailerMagic, kRuleTrailerMagic + sizeof kRuleTrailerMagic);
    PutLittleEndian(bytes, 0, 4); // the payload's length, known at the end
    for (int field = 0; field < kRuleFieldCount; ++field) {
        const std::string& text = RuleField(bounded, field);
        PutLittleEndian(bytes, static_cast<std::uint32_t>(text.size()), 2);
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    const auto payload = static_cast<std::uint32_t>(bytes.size() - kRuleTrailerHead);
    for (int i = 0; i < 4; ++i)
        bytes[4 + static_cast<std::size_t>(i)] = static_cast<unsigned char>(payload >> (8 * i));
    return bytes;
}

std::optional<WindowRule> DecodeRuleTrailer(const unsigned char* bytes, std::size_t size) {
    if (size < kRuleTrailerHead || std::memcmp(bytes, kRuleTrailerMagic, sizeof kRuleTrailerMagic) != 0)
        return std::nullopt;
    const std::size_t payload = GetLittleEndian(bytes + 4, 4);
    if (payload > size - kRuleTrailerHead)
        return std::nullopt;
    const unsigned char* at = bytes + kRuleTrailerHead;
    const unsigned char* end = at + payload;
    WindowRule rule;
    for (int field = 0; field < kRuleFieldCount; ++field) {
        if (end - at < 2)
            return std::nullopt;
        const std::size_t length = GetLittleEndian(at, 2);
        at += 2;
        if (length > kRuleFieldMax || static_cast<std::size_t>(end - at) < length)
            return std::nullopt;
        RuleField(rule, field).assign(reinterpret_cast<const char*>(at), length);
        at += length;
    }
    return Bounded(rule);
}

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

    // Whatever follows the record may be the rule trailer, which is never longer than this.
    std::vector<unsigned char> tail(kRuleTrailerMaxLength);
    tail.resize(std::fread(tail.data(), 1, tail.size(), file.get()));
    rule_ = DecodeRuleTrailer(tail.data(), tail.size());

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
    if (temporary.empty() || !WriteWhole(temporary, header_, buffer_,
                                         rule_ ? EncodeRuleTrailer(*rule_) : std::vector<unsigned char>(), error)) {
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
