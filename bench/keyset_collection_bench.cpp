// A collection of 200 keysets written to a file and read back: each should take well under 100 ms.
#include "model/keyset_collection.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kKeysets = 200;

std::vector<qvl::KeysetRecord> Keysets() {
    std::vector<qvl::KeysetRecord> keysets(kKeysets);
    for (int n = 0; n < kKeysets; ++n) {
        qvl::KeysetRecord& record = keysets[static_cast<std::size_t>(n)];
        std::memset(&record, 0, sizeof record);
        std::snprintf(record.header.appName, sizeof record.header.appName, "program%03d", n);
        std::snprintf(record.banks[0].controls[0].windowTitle, 256, "Window of program %d", n);
    }
    return keysets;
}

std::string CollectionPath() {
    return (std::filesystem::temp_directory_path() / "qvl_collection_bench.qvlx").string();
}

void BM_WriteCollection200(benchmark::State& state) {
    const std::vector<qvl::KeysetRecord> keysets = Keysets();
    const std::string path = CollectionPath();
    for (auto _ : state)
        if (!qvl::WriteCollectionFile(path, keysets).done)
            state.SkipWithError("not written");
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_WriteCollection200)->Unit(benchmark::kMillisecond);

void BM_ReadCollection200(benchmark::State& state) {
    const std::string path = CollectionPath();
    qvl::WriteCollectionFile(path, Keysets());
    for (auto _ : state) {
        qvl::CollectionRead read;
        int error = 0;
        if (!qvl::ReadCollectionFile(path, read, error) || read.keysets.size() != kKeysets)
            state.SkipWithError("not read");
        benchmark::DoNotOptimize(read);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadCollection200)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
