#include "model/keyset_changes.h"

namespace qvl {

namespace {

constexpr std::size_t kHeaderBytes = 24;
constexpr std::size_t kEntryBytes = 9; // without the name

void Put64(std::vector<unsigned char>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::uint64_t Get64(const unsigned char* in) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = value << 8 | in[i];
    return value;
}

std::size_t EntrySize(const KeysetChange& entry) {
    return kEntryBytes + entry.subkey.size();
}

} // namespace

std::vector<unsigned char> EncodeChanges(const KeysetChanges& changes) {
    std::vector<unsigned char> out;
    Put64(out, changes.generation);
    Put64(out, changes.completeSince);
    Put64(out, changes.addedAt);
    for (const KeysetChange& entry : changes.entries) {
        Put64(out, entry.generation);
        out.push_back(static_cast<unsigned char>(entry.subkey.size()));
        out.insert(out.end(), entry.subkey.begin(), entry.subkey.end());
    }
    return out;
}

std::optional<KeysetChanges> DecodeChanges(const unsigned char* bytes, std::size_t size) {
    if (size < kHeaderBytes)
        return std::nullopt;
    KeysetChanges changes;
    changes.generation = Get64(bytes);
    changes.completeSince = Get64(bytes + 8);
    changes.addedAt = Get64(bytes + 16);
    std::size_t at = kHeaderBytes;
    while (at < size) {
        if (size - at < kEntryBytes || size - at - kEntryBytes < bytes[at + 8])
            return std::nullopt; // cut short: not something a writer of this program left
        KeysetChange entry;
        entry.generation = Get64(bytes + at);
        entry.subkey.assign(reinterpret_cast<const char*>(bytes + at + kEntryBytes), bytes[at + 8]);
        at += kEntryBytes + bytes[at + 8];
        changes.entries.push_back(std::move(entry));
    }
    if (changes.generation == 0)
        return std::nullopt;
    return changes;
}

void RecordSave(KeysetChanges& changes, std::uint64_t generation, const std::vector<std::string>& subkeys, bool added) {
    if (generation != changes.generation + 1 || changes.generation == 0) {
        // The record does not reach back before this save.
        changes.entries.clear();
        changes.completeSince = generation;
    }
    changes.generation = generation;
    if (added)
        changes.addedAt = generation;
    for (const std::string& subkey : subkeys) {
        // One entry per subkey, at its latest save: a reader that has not seen that save reads the
        // subkey again either way, and typing into one keyset keeps the record one entry long.
        for (auto older = changes.entries.begin(); older != changes.entries.end();) {
            if (older->subkey == subkey)
                older = changes.entries.erase(older);
            else
                ++older;
        }
        changes.entries.push_back(KeysetChange{generation, subkey});
    }
    std::size_t bytes = kHeaderBytes;
    for (const KeysetChange& entry : changes.entries)
        bytes += EntrySize(entry);
    std::size_t dropped = 0;
    while (bytes > kChangesMaxBytes && dropped < changes.entries.size()) {
        bytes -= EntrySize(changes.entries[dropped]);
        changes.completeSince = changes.entries[dropped].generation + 1;
        ++dropped;
    }
    changes.entries.erase(changes.entries.begin(), changes.entries.begin() + static_cast<std::ptrdiff_t>(dropped));
}

} // namespace qvl
