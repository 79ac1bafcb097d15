// The counter-name table and the walk through a performance data block, over any bytes. The input is
// the length of the counter names (2 bytes, little-endian), the highest index (4 bytes), the names
// ("index\0name\0...") and the data block. The block is read from an odd address, as nothing promises
// the system's buffer is aligned for its records.
//
// The names found never exceed the highest index; the walk either adds as many names as ids, each in
// the single-byte code page, or answers false and leaves the lists as they were.
#include "ascii_code_page.h"
#include "fuzz_check.h"

#include "driver/output/process_list_perf_data.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl;
    using fuzz::Require;
    if (size < 6)
        return 0;
    const std::size_t textSize = std::min<std::size_t>(data[0] | data[1] << 8, size - 6);
    std::uint32_t lastCounter = 0;
    std::memcpy(&lastCounter, data + 2, 4);
    const char* text = reinterpret_cast<const char*>(data + 6);

    const CounterNames names = CounterNames::Parse(text, textSize, lastCounter);
    std::uint32_t indexes[2] = {230, 784}; // where the names are missing, the usual indexes
    const char* wanted[2] = {"Process", "ID Process"};
    for (int i = 0; i < 2; ++i) {
        if (const std::optional<std::uint32_t> found = names.IndexOf(wanted[i])) {
            Require(*found <= lastCounter, "no index above the highest one");
            indexes[i] = *found;
        }
    }

    std::vector<unsigned char> odd(size - 6 - textSize + 1);
    std::memcpy(odd.data() + 1, data + 6 + textSize, odd.size() - 1);
    std::vector<std::string> processNames{"sentinel"};
    std::vector<std::uint32_t> ids{7};
    const fakes::AsciiCodePage codePage;
    const bool read =
        ReadProcessInstances(odd.data() + 1, odd.size() - 1, indexes[0], indexes[1], codePage, processNames, ids);
    Require(processNames.size() == ids.size(), "a name for every id");
    Require(read ? processNames.size() > 1 : processNames.size() == 1, "false leaves the lists, true adds to them");
    Require(processNames[0] == "sentinel" && ids[0] == 7, "what was listed before stays");
    for (const std::string& name : processNames)
        for (char c : name)
            Require(static_cast<unsigned char>(c) < 0x80, "names in the code page given");
    return 0;
}
