// The reader of keysets written as text over any bytes. A refused text gives no keyset and says which
// line, one that exists; an accepted one holds only names that can be stored and texts ended within their
// fields, and written again it reads back as the same keysets, rules and steps, and writes the same text.
#include "fuzz_check.h"
#include "latin1_code_page.h"

#include "editor/app/keyset_text.h"
#include "model/keyset_registry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl;
    using fuzz::Require;
    static const fakes::Latin1CodePage codePage;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const KeysetTextRead read = ReadKeysetText(bytes, codePage);
    if (!read.Ok()) {
        const long lines = std::count(bytes.begin(), bytes.end(), '\n') + 1;
        Require(read.keysets.empty(), "a refused text gives no keyset");
        Require(read.line >= 1 && read.line <= lines, "the fault is on a line of the text");
        Require(read.error.rfind("Line " + std::to_string(read.line) + ": ", 0) == 0, "the message names the line");
        return 0;
    }
    Require(!read.keysets.empty() && read.keysets.size() <= kKeysetTextMaxKeysets, "a read text holds keysets");
    for (const TextKeyset& keyset : read.keysets) {
        Require(fuzz::StringsEnded(keyset.record), "every text ends within its field");
        Require(IsStorableKeysetName(ReadField(keyset.record.header.appName)), "every name can be stored");
    }
    const std::string written = WriteKeysetText(read.keysets, codePage);
    const KeysetTextRead again = ReadKeysetText(written, codePage);
    Require(again.Ok() && again.keysets.size() == read.keysets.size(), "what is written reads back");
    for (std::size_t n = 0; n < read.keysets.size(); ++n) {
        const TextKeyset& a = read.keysets[n];
        const TextKeyset& b = again.keysets[n];
        Require(std::memcmp(&a.record, &b.record, sizeof a.record) == 0, "the records come back byte for byte");
        Require(a.rule == b.rule && a.steps == b.steps, "the rules and the steps come back");
    }
    Require(WriteKeysetText(again.keysets, codePage) == written, "writing again gives the same text");
    return 0;
}
