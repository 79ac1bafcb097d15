// The keyset collection reader over any bytes. A refused collection gives no keyset at all; an accepted
// one gives keysets whose strings end within their fields, and writing them again gives a collection
// that reads back as the same keysets (the same bytes, when every keyset file was as the writer makes it).
#include "fuzz_check.h"

#include "model/keyset_collection.h"
#include "model/keyset_file.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl;
    using fuzz::Require;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const CollectionRead read = ReadCollectionBytes(input);
    if (!read.Sound()) {
        Require(read.keysets.empty(), "a refused collection gives no keyset");
        return 0;
    }

    std::vector<KeysetRecord> records;
    bool canonical = true;
    for (const CollectedKeyset& keyset : read.keysets) {
        Require(fuzz::StringsEnded(keyset.record), "every string ends within its field");
        records.push_back(keyset.record);
        KeysetRecord copy = keyset.record;
        CKeysetFile file;
        file.Init(std::string(), &copy);
        canonical = canonical && file.Bytes() == keyset.fileBytes;
    }
    const std::string written = CollectionBytes(records);
    if (canonical)
        Require(written == input, "a collection as the writer makes it is written again to its own bytes");
    const CollectionRead again = ReadCollectionBytes(written);
    Require(again.Sound() && again.keysets.size() == records.size(), "the rewritten collection reads back");
    for (std::size_t n = 0; n < records.size(); ++n)
        Require(std::memcmp(&again.keysets[n].record, &records[n], sizeof records[n]) == 0,
                "the rewritten collection holds the same keysets");
    return 0;
}
