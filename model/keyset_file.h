// A keyset file (".qvl"): one KeysetRecord behind a 12-byte header, so that keysets can move between
// machines. Only the magic is checked on reading; the format and size values are carried as found.
#pragma once

#include "model/keyset_record.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace qvl {

struct KeysetFileHeader {
    char magic[4];        // "QVL2", no terminator
    std::uint32_t format; // 0x00010002
    std::uint32_t size;   // 10692: the format and size values and the record
};
static_assert(std::is_standard_layout_v<KeysetFileHeader> && std::is_trivially_copyable_v<KeysetFileHeader>);
static_assert(sizeof(KeysetFileHeader) == 12);
static_assert(offsetof(KeysetFileHeader, format) == 4);
static_assert(offsetof(KeysetFileHeader, size) == 8);

constexpr char kKeysetFileMagic[4] = {'Q', 'V', 'L', '2'};
constexpr std::uint32_t kKeysetFileFormat = 0x00010002;
constexpr std::uint32_t kKeysetFileSizeValue = 10692;
constexpr std::size_t kKeysetFileLength = sizeof(KeysetFileHeader) + sizeof(KeysetRecord);
static_assert(kKeysetFileLength == 10696);
// The most of a file Read takes in: a keyset file with room for what may follow its record.
constexpr std::size_t kKeysetFileReadLimit = 1 << 20;

// What became of a Read or a Write. The program that reads or writes the file tells the user.
enum class KeysetFileStatus {
    kDone,
    kCannotOpen,  // the file could not be opened or read
    kNotValid,    // not a keyset file (wrong magic, or it ends before its record does)
    kCannotWrite, // the file (or the temporary file beside it) could not be written or put in place
};

struct KeysetFileResult {
    KeysetFileStatus status = KeysetFileStatus::kDone;
    std::string path; // the file concerned
    int error = 0;    // the C library's errno of the failure; 0 when none is known
    bool Done() const { return status == KeysetFileStatus::kDone; }
};

class CKeysetFile {
public:
    CKeysetFile() = default;
    CKeysetFile(const CKeysetFile&) = delete;
    CKeysetFile& operator=(const CKeysetFile&) = delete;

    // Remember the path and the record to read into or write from (null: the header alone), and set
    // up the header. The record stays the caller's.
    void Init(std::string path, KeysetRecord* buffer);

    // Read the file into the record. Nothing of the record changes unless the whole file was read:
    // a wrong magic or a file that ends early is not valid.
    KeysetFileResult Read();

    // Write the header and the record. The file is written under a temporary name beside it and put in
    // place only when complete, so a failed export leaves whatever stood there before.
    KeysetFileResult Write();

    // The bytes Write puts in the file, and the reading of such bytes (as Read does, from memory):
    // a keyset collection carries each keyset's file byte for byte.
    std::string Bytes() const;
    KeysetFileStatus ReadBytes(std::string_view bytes);

    const KeysetFileHeader& Header() const { return header_; }

private:
    KeysetFileResult Result(KeysetFileStatus status, int error = 0) const { return {status, path_, error}; }

    KeysetRecord* buffer_ = nullptr;
    std::string path_;
    KeysetFileHeader header_ = {};
};

} // namespace qvl
