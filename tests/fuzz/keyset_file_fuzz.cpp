// The keyset file reader over any file. A refused file changes nothing of the record read into and
// is called not valid (or, holding a whole keyset, one with damaged steps); an accepted one leaves every
// string ended within its field, and exporting it gives the current header and the record byte for byte
// (so a sound file exports to its own bytes), then its rule and steps, which read back as the same.
#include "fuzz_check.h"
#include "scratch_folder.h"

#include "model/keyset_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace qvl {
namespace {

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace
} // namespace qvl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qvl;
    using fuzz::Require;
    static const testing::ScratchFolder folder;
    const std::string input = folder.File("input.qvl");
    const std::string exported = folder.File("exported.qvl");
    {
        std::FILE* file = std::fopen(input.c_str(), "wb");
        Require(file != nullptr && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0, "input written");
    }

    KeysetRecord record;
    std::memset(&record, 0x5A, sizeof record); // no terminator anywhere: a refused read must leave it so
    const KeysetRecord before = record;
    CKeysetFile file;
    file.Init(input, &record);
    const KeysetFileResult result = file.Read();

    const bool whole = size >= kKeysetFileLength && std::memcmp(data, kKeysetFileMagic, 4) == 0;
    Require(whole ? result.status != KeysetFileStatus::kNotValid : result.status == KeysetFileStatus::kNotValid,
            "not valid exactly when the file holds no whole keyset");
    if (!result.Done()) {
        Require(std::memcmp(&record, &before, sizeof record) == 0, "a refused file changes nothing");
        return 0;
    }
    Require(fuzz::StringsEnded(record), "every string ends within its field");

    CKeysetFile writer;
    writer.Init(exported, &record);
    if (file.Rule())
        writer.SetRule(*file.Rule());
    writer.SetSteps(file.Steps());
    Require(writer.Write().Done(), "the export is written");
    std::vector<char> bytes = FileBytes(exported);
    Require(bytes.size() >= kKeysetFileLength, "the export holds a keyset file");
    bytes.resize(kKeysetFileLength);
    KeysetFileHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    Require(std::memcmp(header.magic, kKeysetFileMagic, 4) == 0 && header.format == kKeysetFileFormat &&
                header.size == kKeysetFileSizeValue &&
                std::memcmp(bytes.data() + sizeof header, &record, sizeof record) == 0,
            "the export is the current header and the record");
    KeysetRecord original;
    std::memcpy(&original, data + sizeof header, sizeof original);
    if (std::memcmp(data, bytes.data(), sizeof header) == 0 && fuzz::StringsEnded(original))
        Require(std::memcmp(data, bytes.data(), bytes.size()) == 0, "a sound file exports to its own bytes");

    KeysetRecord again;
    CKeysetFile reader;
    reader.Init(exported, &again);
    Require(reader.Read().Done() && std::memcmp(&again, &record, sizeof record) == 0,
            "the export reads back as the same record");
    Require(reader.Rule() == file.Rule() && reader.Steps() == file.Steps(), "and with the same rule and steps");
    return 0;
}
