// A keyset file (".qvl"): one KeysetRecord behind a 12-byte header, so that keysets can move between
// machines. Only the magic is checked on reading; the format and size values are carried as found.
//
// The keyset's window rule may follow the record, where readers that do not know it stop reading:
//
//   offset 10696  "RULE"                     4 bytes, no terminator
//          10700  payload length             uint32, little-endian: the bytes that follow
//          10704  program, title, class      each a uint16 little-endian length (0 to 255) and that
//                                            many characters, no terminator
//
// A file without the trailer (an older writer's) says nothing of a rule: an import keeps the rule the
// keyset has. A trailer with three empty fields says the keyset has none. A trailer that is cut short
// or does not add up is taken for no trailer.
//
// The keyset's steps follow as a chunk framed the same way, "STEP" (model/steps_chunk.h gives its
// payload): after the rule trailer, or right after the record when the writer gives no rule, so that a
// reader that knows rules alone finds no trailer and keeps the rule, as the writer meant. It is written
// only for a keyset with steps; a file without it gives the keyset none. A reader walks the chunks from
// the record on (four capital letters and a length each; one it does not know is passed over) and stops
// at the first bytes that are not a chunk; a steps chunk that is damaged or cut short refuses the file.
// docs/keyset-file.md describes the whole file.
#pragma once

#include "model/keyset_record.h"
#include "model/keyset_steps.h"
#include "model/window_rule.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

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

constexpr char kRuleTrailerMagic[4] = {'R', 'U', 'L', 'E'};
constexpr std::size_t kRuleTrailerHead = 8; // magic and payload length
constexpr std::size_t kRuleTrailerMaxLength = kRuleTrailerHead + kRuleFieldCount * (2 + kRuleFieldMax);

// The trailer's bytes for `rule` (cut to its bounds), and the rule of trailer bytes (nothing: no
// valid trailer).
std::vector<unsigned char> EncodeRuleTrailer(const WindowRule& rule);
std::optional<WindowRule> DecodeRuleTrailer(const unsigned char* bytes, std::size_t size);

// What became of a Read or a Write. The program that reads or writes the file tells the user.
enum class KeysetFileStatus {
    kDone,
    kCannotOpen,   // the file could not be opened or read
    kNotValid,     // not a keyset file (wrong magic, or it ends before its record does)
    kCannotWrite,  // the file (or the temporary file beside it) could not be written or put in place
    kStepsDamaged, // a keyset file whose steps chunk is damaged: nothing of it is taken
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

    // Read the file into the record, its rule trailer into Rule() and its steps into Steps(). Nothing
    // of the record changes unless the whole file was read: a wrong magic or a file that ends early is
    // not valid, and one whose steps are damaged is refused as well.
    KeysetFileResult Read();

    // Write the header, the record, (when SetRule was called) the rule trailer and (when SetSteps gave
    // some) the steps. The file is written
    // under a temporary name beside it and put in place only when complete, so a failed export leaves
    // whatever stood there before.
    KeysetFileResult Write();

    // The bytes Write puts in the file, and the reading of such bytes (as Read does, from memory):
    // a keyset collection carries each keyset's file byte for byte.
    std::string Bytes() const;
    KeysetFileStatus ReadBytes(std::string_view bytes);

    const KeysetFileHeader& Header() const { return header_; }
    // The rule a Write puts after the record; an empty one says the keyset has none.
    void SetRule(const WindowRule& rule) { rule_ = Bounded(rule); }
    // The rule the last Read found after the record; nothing when the file had no trailer.
    const std::optional<WindowRule>& Rule() const { return rule_; }
    // The steps a Write puts after the record (none: no chunk), and those the last Read found (none
    // when the file had no chunk).
    void SetSteps(const KeysetSteps& steps) { steps_ = steps; }
    const KeysetSteps& Steps() const { return steps_; }

private:
    KeysetFileResult Result(KeysetFileStatus status, int error = 0) const { return {status, path_, error}; }

    KeysetRecord* buffer_ = nullptr;
    std::string path_;
    KeysetFileHeader header_ = {};
    std::optional<WindowRule> rule_;
    KeysetSteps steps_;
};

} // namespace qvl
