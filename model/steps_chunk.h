// The steps of a keyset in its keyset file: a chunk after the record (and after the rule trailer, when
// there is one), framed as that trailer is, so that readers that do not know it stop before it:
//
//   "STEP"               4 bytes, no terminator
//   payload length       uint32, little-endian: the bytes that follow
//   payload:
//     entry count        uint16, little-endian, 0 to 28
//     entries            in ascending order of bank, then control; each assignment at most once:
//       bank             uint8, 0 to 3
//       control          uint8, 0 to 6
//       flags            uint8: bit 0 the press repeats while held; the other bits 0
//       press length     uint16, little-endian, then that many bytes: the press's steps, UTF-8
//       release length   uint16, little-endian, then that many bytes: the release's steps, UTF-8
//
// Only assignments with steps have an entry; the wheel's directions have no release steps and no
// repeat. Each text is well-formed UTF-8 without NUL, at most kStoredStepsMaxBytes, kept as the keyset
// held it (readable as steps or not). The payload ends with its last entry. Anything else is a damaged
// chunk, and a file with one is refused whole.
#pragma once

#include "model/keyset_steps.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace qvl {

constexpr char kStepsChunkMagic[4] = {'S', 'T', 'E', 'P'};
constexpr std::size_t kStepsChunkHead = 8; // magic and payload length

// The chunk's bytes for `steps` (a text too long for the chunk is cut at a character).
std::vector<unsigned char> EncodeStepsChunk(const KeysetSteps& steps);
// The steps of a chunk's payload (the bytes after its head); nothing when it is damaged.
std::optional<KeysetSteps> DecodeStepsPayload(const unsigned char* bytes, std::size_t size);

} // namespace qvl
