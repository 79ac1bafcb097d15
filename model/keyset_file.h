// A keyset file (".qvl"): one KeysetRecord behind a 12-byte header, so that keysets can move between
// machines. Only the magic is checked on reading; the format and size values are carried as found.
#pragma once

#include "model/keyset_record.h"
#include "base/message_boxes.h"

#include <cstddef>
#include <cstdint>
#include <string>
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

constexpr const char* kNotAKeysetFileMessage = "This is not a valid QVL2 file. ";

// Results of Read and Write.
enum KeysetFileResult : int {
    kKeysetFileOk = 0,
    kKeysetFileRefused = 1,  // not a keyset file (wrong magic, or it ends before its record does)
    kKeysetFileIoFailed = 2, // the file could not be opened, read or written
};

class CKeysetFile {
public:
    explicit CKeysetFile(MessageBoxes& boxes) : boxes_(boxes) {}
    CKeysetFile(const CKeysetFile&) = delete;
    CKeysetFile& operator=(const CKeysetFile&) = delete;

    // Remember the path and the record to read into or write from (null: the header alone), and set
    // up the header. The record stays the caller's.
    void Init(std::string path, KeysetRecord* buffer);

    // Read the file into the record. Nothing of the record changes unless the whole file was read:
    // a wrong magic or a file that ends early is refused with kNotAKeysetFileMessage, a file that
    // cannot be read with a message naming it.
    int Read();

    // Write the header and the record. The file is written under a temporary name beside it and put in
    // place only when complete, so a failed export leaves whatever stood there before.
    int Write();

    const KeysetFileHeader& Header() const { return header_; }

private:
    void ReportIoFailure(const char* what, int error);

    MessageBoxes& boxes_;
    KeysetRecord* buffer_ = nullptr;
    std::string path_;
    KeysetFileHeader header_ = {};
};

} // namespace qvl
