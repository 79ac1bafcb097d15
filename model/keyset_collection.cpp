#include "model/keyset_collection.h"

#include "model/keyset_file.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace qvl {

namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table = {};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

// The format's integers are little-endian whatever the machine.
void PutU32(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t GetU32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

template <std::size_t N> bool FieldEnds(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}

bool StringsEnd(const KeysetRecord& record) {
    if (!FieldEnds(record.header.appName))
        return false;
    for (const BankRecord& bank : record.banks)
        for (const ControlAssignment& a : bank.controls)
            if (!FieldEnds(a.windowTitle) || !FieldEnds(a.windowClass) || !FieldEnds(a.controlName))
                return false;
    return true;
}

CollectionRead Damaged(CollectionDamage damage, std::size_t where = 0) {
    CollectionRead read;
    read.damage = damage;
    read.where = where;
    return read;
}

// Where each keyset's bytes lie, checked against the file's length alone. The file ending between two
// keysets while more are counted is a count that does not fit; ending within one, a file cut short.
CollectionRead LocateKeysets(std::string_view bytes, std::uint32_t count, std::vector<std::string_view>& pieces) {
    const std::size_t end = bytes.size() - kCollectionChecksumLength;
    std::size_t at = kCollectionHeaderLength;
    for (std::uint32_t n = 0; n < count; ++n) {
        if (at == end)
            return Damaged(CollectionDamage::kCountDoesNotFit);
        if (end - at < 4)
            return Damaged(CollectionDamage::kEndsEarly, n + 1);
        const std::uint32_t length = GetU32(bytes, at);
        at += 4;
        if (length > end - at)
            return Damaged(CollectionDamage::kEndsEarly, n + 1);
        pieces.push_back(bytes.substr(at, length));
        at += length;
    }
    if (at != end)
        return Damaged(CollectionDamage::kCountDoesNotFit);
    return CollectionRead();
}

} // namespace

std::uint32_t CollectionChecksum(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = kCrcTable[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// Each keyset's file carries its rule and its steps.
std::string CollectionBytes(const std::vector<KeysetRecord>& keysets, const std::vector<WindowRule>& rules,
                            const std::vector<KeysetSteps>& steps) {
    std::string bytes(kCollectionMagic, sizeof kCollectionMagic);
    PutU32(bytes, kCollectionVersion);
    PutU32(bytes, static_cast<std::uint32_t>(keysets.size()));
    for (std::size_t n = 0; n < keysets.size(); ++n) {
        KeysetRecord copy = keysets[n]; // the file writer takes a record it may read through
        CKeysetFile file;
        file.Init(std::string(), &copy);
        if (n < rules.size())
            file.SetRule(rules[n]);
        if (n < steps.size())
            file.SetSteps(steps[n]);
        const std::string piece = file.Bytes();
        PutU32(bytes, static_cast<std::uint32_t>(piece.size()));
        bytes += piece;
    }
    PutU32(bytes, CollectionChecksum(bytes));
    return bytes;
}

CollectionRead ReadCollectionBytes(std::string_view bytes) {
    if (bytes.size() > kCollectionReadLimit)
        return Damaged(CollectionDamage::kTooLarge);
    if (bytes.size() >= sizeof kCollectionMagic &&
        std::memcmp(bytes.data(), kCollectionMagic, sizeof kCollectionMagic) != 0)
        return Damaged(CollectionDamage::kNotACollection);
    if (bytes.size() < kCollectionHeaderLength + kCollectionChecksumLength)
        return Damaged(CollectionDamage::kEndsEarly);
    if (GetU32(bytes, 4) != kCollectionVersion)
        return Damaged(CollectionDamage::kUnknownVersion);
    // Room is set aside for no more keysets than the file could hold, each a length and a whole keyset
    // file at the least, whatever the count says.
    const std::uint32_t count = GetU32(bytes, 8);
    const std::size_t room = bytes.size() - kCollectionHeaderLength - kCollectionChecksumLength;
    std::vector<std::string_view> pieces;
    pieces.reserve(std::min<std::size_t>(count, room / (4 + kKeysetFileLength)));
    CollectionRead located = LocateKeysets(bytes, count, pieces);
    if (!located.Sound())
        return located;
    const std::size_t summed = bytes.size() - kCollectionChecksumLength;
    if (CollectionChecksum(bytes.substr(0, summed)) != GetU32(bytes, summed))
        return Damaged(CollectionDamage::kChecksumWrong);

    CollectionRead read;
    read.keysets.resize(pieces.size());
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        CollectedKeyset& keyset = read.keysets[n];
        if (pieces[n].size() >= kKeysetFileLength) {
            std::memcpy(&keyset.record, pieces[n].data() + sizeof(KeysetFileHeader), sizeof keyset.record);
            if (!StringsEnd(keyset.record))
                return Damaged(CollectionDamage::kStringNotEnded, n + 1);
        }
        CKeysetFile file;
        file.Init(std::string(), &keyset.record);
        const KeysetFileStatus status = file.ReadBytes(pieces[n]);
        if (status != KeysetFileStatus::kDone)
            return Damaged(status == KeysetFileStatus::kStepsDamaged ? CollectionDamage::kStepsDamaged
                                                                     : CollectionDamage::kNotAKeyset,
                           n + 1);
        keyset.fileBytes = std::string(pieces[n]);
        keyset.rule = file.Rule();
        keyset.steps = file.Steps();
    }
    return read;
}

WholeFileResult WriteCollectionFile(const std::string& path, const std::vector<KeysetRecord>& keysets,
                                    const std::vector<WindowRule>& rules, const std::vector<KeysetSteps>& steps) {
    return WriteFileReplacing(path, CollectionBytes(keysets, rules, steps));
}

bool ReadCollectionFile(const std::string& path, CollectionRead& read, int& error) {
    std::string bytes;
    const WholeFileResult got = ReadFileBounded(path, kCollectionReadLimit, bytes);
    if (!got.done) {
        error = got.error;
        return false;
    }
    read = ReadCollectionBytes(bytes);
    return true;
}

} // namespace qvl
