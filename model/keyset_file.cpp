#include "model/keyset_file.h"

#include "model/steps_chunk.h"
#include "model/whole_file.h"

#include <cstring>

namespace qvl {

namespace {

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

bool IsChunkMagic(const unsigned char* bytes) {
    for (int i = 0; i < 4; ++i)
        if (bytes[i] < 'A' || bytes[i] > 'Z')
            return false;
    return true;
}

// What follows the record: the chunks, read as the comment in the header says. False: a damaged steps
// chunk.
bool ReadChunks(std::string_view tail, std::optional<WindowRule>& rule, KeysetSteps& steps) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(tail.data());
    rule.reset();
    steps = KeysetSteps();
    bool stepsRead = false;
    for (std::size_t at = 0; tail.size() - at >= kRuleTrailerHead && IsChunkMagic(bytes + at);) {
        const unsigned char* chunk = bytes + at;
        const std::size_t room = tail.size() - at - kRuleTrailerHead;
        const std::size_t payload = GetLittleEndian(chunk + 4, 4);
        const bool isSteps = std::memcmp(chunk, kStepsChunkMagic, sizeof kStepsChunkMagic) == 0;
        if (isSteps) {
            const std::optional<KeysetSteps> read =
                payload <= room && !stepsRead ? DecodeStepsPayload(chunk + kStepsChunkHead, payload) : std::nullopt;
            if (!read)
                return false;
            steps = *read;
            stepsRead = true;
        } else if (at == 0) {
            // The rule trailer, where readers that know nothing else look for it.
            rule = DecodeRuleTrailer(chunk, tail.size());
        }
        if (payload > room)
            break;
        at += kRuleTrailerHead + payload;
    }
    return true;
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

    // Whatever follows the record may be the rule trailer and the steps.
    std::optional<WindowRule> rule;
    KeysetSteps steps;
    if (!ReadChunks(bytes.substr(kKeysetFileLength), rule, steps))
        return KeysetFileStatus::kStepsDamaged;

    rule_ = std::move(rule);
    steps_ = std::move(steps);
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
    if (buffer_ != nullptr) {
        bytes.append(reinterpret_cast<const char*>(buffer_), sizeof *buffer_);
        if (rule_) {
            const std::vector<unsigned char> trailer = EncodeRuleTrailer(*rule_);
            bytes.append(trailer.begin(), trailer.end());
        }
        if (!steps_.Empty()) {
            const std::vector<unsigned char> chunk = EncodeStepsChunk(steps_);
            bytes.append(chunk.begin(), chunk.end());
        }
    }
    return bytes;
}

KeysetFileResult CKeysetFile::Write() {
    const WholeFileResult written = WriteFileReplacing(path_, Bytes());
    return written.done ? Result(KeysetFileStatus::kDone) : Result(KeysetFileStatus::kCannotWrite, written.error);
}

} // namespace qvl
