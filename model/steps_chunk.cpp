#include "model/steps_chunk.h"

#include "model/stored_steps.h"
#include "model/utf_text.h"

#include <cstring>
#include <string>

namespace qvl {

namespace {

constexpr unsigned kRepeatFlag = 0x1;

void PutU16(std::vector<unsigned char>& bytes, std::size_t value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

// `text` cut to the chunk's bound, at the start of a character.
std::string Bounded(const std::string& text) {
    if (text.size() <= kStoredStepsMaxBytes)
        return text;
    std::size_t end = kStoredStepsMaxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

void PutText(std::vector<unsigned char>& bytes, const std::string& text) {
    const std::string bounded = Bounded(text);
    PutU16(bytes, bounded.size());
    bytes.insert(bytes.end(), bounded.begin(), bounded.end());
}

// Reads the payload front to back; any read past its end leaves it failed.
class PayloadReader {
public:
    PayloadReader(const unsigned char* bytes, std::size_t size) : at_(bytes), end_(bytes + size) {}
    bool Failed() const { return failed_; }
    bool AtEnd() const { return at_ == end_; }
    unsigned Byte() {
        if (end_ - at_ < 1)
            return Fail();
        return *at_++;
    }
    unsigned U16() {
        const unsigned low = Byte();
        return low | Byte() << 8;
    }
    // A text of the chunk: bounded, well-formed UTF-8, no NUL.
    std::string Text() {
        const std::size_t length = U16();
        if (failed_ || length > kStoredStepsMaxBytes || static_cast<std::size_t>(end_ - at_) < length) {
            Fail();
            return std::string();
        }
        std::string text(reinterpret_cast<const char*>(at_), length);
        at_ += length;
        if (text.find('\0') != std::string::npos || !Utf16FromUtf8(text))
            Fail();
        return text;
    }

private:
    unsigned Fail() {
        failed_ = true;
        at_ = end_;
        return 0;
    }
    const unsigned char* at_;
    const unsigned char* end_;
    bool failed_ = false;
};

} // namespace

std::vector<unsigned char> EncodeStepsChunk(const KeysetSteps& steps) {
    std::vector<unsigned char> entries;
    std::size_t count = 0;
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int control = 0; control < kControlCount; ++control) {
            const AssignmentSteps entry = StepsForControl(control, steps.Get(bank, control));
            if (entry.Empty())
                continue;
            ++count;
            entries.push_back(static_cast<unsigned char>(bank));
            entries.push_back(static_cast<unsigned char>(control));
            entries.push_back(entry.repeat ? kRepeatFlag : 0);
            PutText(entries, entry.press);
            PutText(entries, entry.release);
        }
    }
    std::vector<unsigned char> bytes(kStepsChunkMagic, kStepsChunkMagic + sizeof kStepsChunkMagic);
    const std::size_t payload = 2 + entries.size();
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<unsigned char>(payload >> (8 * i)));
    PutU16(bytes, count);
    bytes.insert(bytes.end(), entries.begin(), entries.end());
    return bytes;
}

std::optional<KeysetSteps> DecodeStepsPayload(const unsigned char* bytes, std::size_t size) {
    PayloadReader reader(bytes, size);
    const unsigned count = reader.U16();
    if (count > kBankCount * kControlCount)
        return std::nullopt;
    KeysetSteps steps;
    int last = -1; // the slot of the entry before: each must come after it
    for (unsigned n = 0; n < count && !reader.Failed(); ++n) {
        const int bank = static_cast<int>(reader.Byte());
        const int control = static_cast<int>(reader.Byte());
        const unsigned flags = reader.Byte();
        AssignmentSteps entry;
        entry.press = reader.Text();
        entry.release = reader.Text();
        entry.repeat = (flags & kRepeatFlag) != 0;
        const int slot = bank * kControlCount + control;
        if (bank >= kBankCount || control >= kControlCount || slot <= last || (flags & ~kRepeatFlag) != 0 ||
            StepsForControl(control, entry) != entry)
            return std::nullopt;
        last = slot;
        steps.Set(bank, control, entry);
    }
    if (reader.Failed() || !reader.AtEnd())
        return std::nullopt;
    return steps;
}

} // namespace qvl
