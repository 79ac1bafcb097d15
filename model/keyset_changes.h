// The writers' record of what they changed, kept in one value "Changes" under "Keysets" so that it
// is written in one piece: the generation the stored keysets are at, and the subkeys that recent
// saves wrote or deleted, each with the generation of that save. A program that last saw the
// keysets at a generation the record still covers reads again only the subkeys it names.
//
// Layout, little-endian: generation (8 bytes), completeSince (8 bytes: every save from that
// generation on is listed), addedAt (8 bytes: the last save that made a subkey), then per entry:
// generation (8), name length (1), name (that many bytes, no NUL).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qvl {

struct KeysetChange {
    std::uint64_t generation = 0;
    std::string subkey;
};

struct KeysetChanges {
    std::uint64_t generation = 0;
    std::uint64_t completeSince = 0;
    std::uint64_t addedAt = 0;
    std::vector<KeysetChange> entries; // oldest first, one per subkey

    // Whether every save after `seen` up to `generation` is listed.
    bool Covers(std::uint64_t seen) const { return seen <= generation && seen + 1 >= completeSince; }
};

// The most bytes the value holds; the oldest entries give way to new ones.
constexpr std::size_t kChangesMaxBytes = 4096;

std::vector<unsigned char> EncodeChanges(const KeysetChanges& changes);
std::optional<KeysetChanges> DecodeChanges(const unsigned char* bytes, std::size_t size);

// `changes` moved on to `generation`, a save that touched `subkeys` and made new ones when `added`;
// the oldest entries give way until the record fits.
void RecordSave(KeysetChanges& changes, std::uint64_t generation, const std::vector<std::string>& subkeys, bool added);

} // namespace qvl
