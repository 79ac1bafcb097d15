#include "driver/output/process_list_perf_data.h"

#include <cstring>
#include <utility>

namespace qvl {

namespace {

// A read-only view of the block that refuses every read and step outside it.
class BoundedBytes {
public:
    BoundedBytes(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    // The record of type T at `offset`, if all of it lies before `end` (and within the block).
    template <class T> bool Read(std::size_t offset, std::size_t end, T& out) const {
        if (end > size_ || offset > end || end - offset < sizeof(T))
            return false;
        std::memcpy(&out, data_ + offset, sizeof(T));
        return true;
    }

    const unsigned char* At(std::size_t offset) const { return data_ + offset; }
    std::size_t Size() const { return size_; }

private:
    const unsigned char* data_;
    std::size_t size_;
};

// `base` + `step`, if the result does not pass `end`.
bool Advance(std::size_t base, std::uint32_t step, std::size_t end, std::size_t& out) {
    if (base > end || end - base < step)
        return false;
    out = base + step;
    return true;
}

bool EqualIgnoringCase(const std::string& a, const char* b) {
    const std::size_t length = std::strlen(b);
    if (a.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// A decimal index of at most nine digits, so that it cannot overflow.
bool ParseIndex(const char* text, std::size_t length, std::uint32_t& index) {
    if (length == 0 || length > 9)
        return false;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    }
    index = value;
    return true;
}

// The object type whose name index is `wanted`, and where it ends.
bool FindObject(const BoundedBytes& block, std::uint32_t wanted, std::size_t& objectStart, std::size_t& objectEnd,
                PerfObjectType& object) {
    PerfDataBlock header;
    if (!block.Read(0, block.Size(), header))
        return false;
    static const char16_t kSignature[4] = {u'P', u'E', u'R', u'F'};
    if (std::memcmp(header.signature, kSignature, sizeof kSignature) != 0)
        return false;
    std::size_t offset = header.headerLength;
    for (std::uint32_t i = 0; i < header.numObjectTypes; ++i) {
        if (!block.Read(offset, block.Size(), object))
            return false;
        std::size_t end = 0;
        // Every object holds at least its own header, so the walk always moves on.
        if (object.totalByteLength < sizeof(PerfObjectType) ||
            !Advance(offset, object.totalByteLength, block.Size(), end))
            return false;
        if (object.objectNameTitleIndex == wanted) {
            objectStart = offset;
            objectEnd = end;
            return true;
        }
        offset = end;
    }
    return false;
}

bool FindCounter(const BoundedBytes& block, std::size_t objectStart, std::size_t objectEnd,
                 const PerfObjectType& object, std::uint32_t wanted, PerfCounterDefinition& counter) {
    std::size_t offset = 0;
    if (!Advance(objectStart, object.headerLength, objectEnd, offset))
        return false;
    for (std::uint32_t i = 0; i < object.numCounters; ++i) {
        if (!block.Read(offset, objectEnd, counter) || counter.byteLength < sizeof(PerfCounterDefinition))
            return false;
        if (counter.counterNameTitleIndex == wanted)
            return true;
        if (!Advance(offset, counter.byteLength, objectEnd, offset))
            return false;
    }
    return false;
}

// The instance name: UTF-16 within the instance, up to its first zero.
bool ReadInstanceName(const BoundedBytes& block, std::size_t instanceStart, std::size_t instanceEnd,
                      const PerfInstanceDefinition& instance, const AnsiCodePage& codePage, std::string& name) {
    std::size_t nameStart = 0, nameEnd = 0;
    if (!Advance(instanceStart, instance.nameOffset, instanceEnd, nameStart) ||
        !Advance(nameStart, instance.nameLength, instanceEnd, nameEnd))
        return false;
    std::u16string text;
    for (std::size_t at = nameStart; at + 2 <= nameEnd; at += 2) {
        const char16_t unit = static_cast<char16_t>(block.At(at)[0] | (block.At(at)[1] << 8));
        if (unit == 0)
            break;
        text += unit;
    }
    name = codePage.FromUtf16(text.data(), text.size());
    return true;
}

} // namespace

CounterNames CounterNames::Parse(const char* text, std::size_t size, std::uint32_t lastCounter) {
    CounterNames table;
    std::size_t at = 0;
    // The next string and where the one after it starts; false at the end of the list or the buffer.
    auto next = [&](const char*& string, std::size_t& length) {
        if (at >= size)
            return false;
        const void* zero = std::memchr(text + at, '\0', size - at);
        if (zero == nullptr)
            return false; // an unterminated tail is no string
        string = text + at;
        length = static_cast<std::size_t>(static_cast<const char*>(zero) - string);
        at += length + 1;
        return length != 0;
    };
    const char* indexText = nullptr;
    const char* name = nullptr;
    std::size_t indexLength = 0, nameLength = 0;
    while (next(indexText, indexLength) && next(name, nameLength)) {
        std::uint32_t index = 0;
        if (ParseIndex(indexText, indexLength, index) && index <= lastCounter)
            table.names_[index] = std::string(name, nameLength);
    }
    return table;
}

std::optional<std::uint32_t> CounterNames::IndexOf(const char* name) const {
    for (const auto& [index, text] : names_)
        if (EqualIgnoringCase(text, name))
            return index;
    return std::nullopt;
}

bool ReadProcessInstances(const unsigned char* data, std::size_t size, std::uint32_t processIndex,
                          std::uint32_t idProcessIndex, const AnsiCodePage& codePage, std::vector<std::string>& names,
                          std::vector<std::uint32_t>& ids) {
    const BoundedBytes block(data, size);
    std::size_t objectStart = 0, objectEnd = 0;
    PerfObjectType object;
    PerfCounterDefinition idCounter;
    if (!FindObject(block, processIndex, objectStart, objectEnd, object) ||
        !FindCounter(block, objectStart, objectEnd, object, idProcessIndex, idCounter) || object.numInstances <= 0)
        return false;

    std::vector<std::string> foundNames;
    std::vector<std::uint32_t> foundIds;
    std::size_t offset = 0;
    if (!Advance(objectStart, object.definitionLength, objectEnd, offset))
        return false;
    for (std::int32_t i = 0; i < object.numInstances; ++i) {
        // Each instance is its definition with its name, then its counter block; both have at least
        // size, so a block of any counts ends the walk within its own length.
        PerfInstanceDefinition instance;
        std::size_t counters = 0;
        if (!block.Read(offset, objectEnd, instance) || instance.byteLength < sizeof instance ||
            !Advance(offset, instance.byteLength, objectEnd, counters))
            return false;
        std::string name;
        if (!ReadInstanceName(block, offset, counters, instance, codePage, name))
            return false;

        PerfCounterBlock counterBlock;
        std::size_t countersEnd = 0, valueAt = 0;
        std::uint32_t id = 0;
        if (!block.Read(counters, objectEnd, counterBlock) || counterBlock.byteLength < sizeof counterBlock ||
            !Advance(counters, counterBlock.byteLength, objectEnd, countersEnd) ||
            !Advance(counters, idCounter.counterOffset, countersEnd, valueAt) || !block.Read(valueAt, countersEnd, id))
            return false;
        foundNames.push_back(std::move(name));
        foundIds.push_back(id);
        offset = countersEnd;
    }
    names.insert(names.end(), foundNames.begin(), foundNames.end());
    ids.insert(ids.end(), foundIds.begin(), foundIds.end());
    return true;
}

} // namespace qvl
