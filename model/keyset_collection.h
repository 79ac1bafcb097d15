// A keyset collection (".qvlx"): every keyset in one file, for moving all of them at once and for the
// editor's backups. Its layout is described in docs/keyset-collection.md: a header with its own magic,
// version and count, then each keyset as a length and the very bytes its keyset file (".qvl") holds,
// then a checksum over all of it. Carrying the keyset file's bytes means whatever that file learns to
// hold, a collection holds too.
//
// A collection is taken whole or not at all: any damage refuses the file and names what was wrong.
// The reader never reads past the end of what it was given and never sets aside room for more keysets
// than the bytes it was given could hold.
#pragma once

#include "model/keyset_record.h"
#include "model/keyset_steps.h"
#include "model/whole_file.h"
#include "model/window_rule.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl {

constexpr char kCollectionMagic[4] = {'Q', 'V', 'L', 'X'};
constexpr std::uint32_t kCollectionVersion = 1;
// Magic, version and count before the keysets; the checksum after them.
constexpr std::size_t kCollectionHeaderLength = 12;
constexpr std::size_t kCollectionChecksumLength = 4;
// The most of a file the reader takes in: some thousands of keysets.
constexpr std::size_t kCollectionReadLimit = std::size_t{64} << 20;

// What was wrong with a refused collection.
enum class CollectionDamage {
    kNone,
    kNotACollection,  // the magic is not a collection's
    kUnknownVersion,  // written by a later version of the format
    kEndsEarly,       // the file ends before its header or one of its keysets does
    kCountDoesNotFit, // more keysets than the file could hold, or bytes left after the last one
    kChecksumWrong,   // some byte changed since it was written
    kNotAKeyset,      // a keyset's bytes are not a keyset file
    kStringNotEnded,  // a keyset's name or one of its texts does not end within its field
    kTooLarge,        // larger than any collection the editor writes
    kStepsDamaged,    // the steps a keyset's file carries are damaged
};

struct CollectedKeyset {
    KeysetRecord record;
    std::string fileBytes;          // the keyset file's bytes as the collection carried them
    std::optional<WindowRule> rule; // none: the keyset file came from a writer without rules
    KeysetSteps steps;              // none when its file carries none
};

struct CollectionRead {
    CollectionDamage damage = CollectionDamage::kNone;
    std::size_t where = 0; // kNotAKeyset, kStringNotEnded, kEndsEarly, kStepsDamaged: the keyset concerned (0 = header)
    std::vector<CollectedKeyset> keysets;
    bool Sound() const { return damage == CollectionDamage::kNone; }
};

// CRC-32 (the common polynomial 0xEDB88320) of `bytes`.
std::uint32_t CollectionChecksum(std::string_view bytes);

// The collection of `keysets`, in their order, each with its rule and steps (rules[n] and steps[n] for
// keysets[n]; none past the end of either).
std::string CollectionBytes(const std::vector<KeysetRecord>& keysets, const std::vector<WindowRule>& rules = {},
                            const std::vector<KeysetSteps>& steps = {});
// The keysets of a collection; on any damage, none.
CollectionRead ReadCollectionBytes(std::string_view bytes);

// The same through a file. Writing replaces the file only when the collection is complete.
WholeFileResult WriteCollectionFile(const std::string& path, const std::vector<KeysetRecord>& keysets,
                                    const std::vector<WindowRule>& rules = {},
                                    const std::vector<KeysetSteps>& steps = {});
// False, with `error` set, when the file could not be opened or read; true otherwise, with what it held
// (or its damage) in `read`.
bool ReadCollectionFile(const std::string& path, CollectionRead& read, int& error);

} // namespace qvl
