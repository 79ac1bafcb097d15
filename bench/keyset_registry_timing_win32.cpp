// How long a whole-set save and load of the keysets take against the system's registry, for 1, 10
// and 100 keysets. Prints the median and the spread of several runs. Works under its own root key,
// which it removes at the end, so stored keysets are left alone.
//   keyset_registry_timing [runs]
#include "model/keyset_lock_win32.h"
#include "model/keyset_registry.h"
#include "model/memory_blocks.h"
#include "model/registry_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kTimingRoot = "Software\\Vendrake Electronics\\QVL2 Timing";

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Print(const char* what, int keysets, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-8s %3d keysets: median %8.2f ms   min %8.2f   max %8.2f   (%zu runs, %.3f ms per keyset)\n", what,
                keysets, median, times.front(), times.back(), times.size(), median / keysets);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    qvl::NoStrings names;
    qvl::MemoryBlocks blocks;
    qvl::CSharedInfo shared(blocks);
    shared.Create();
    qvl::CKeysetStore store(shared, names);
    qvl::Win32Registry registry;
    qvl::Win32KeysetLock lock;
    const qvl::KeysetStorage storage{registry, lock};

    for (int count : {1, 10, 100}) {
        store.RemoveAll();
        for (int k = 0; k < count; ++k) {
            qvl::KeysetRecord record;
            const std::string name = k == 0 ? "Default" : "program" + std::to_string(k);
            qvl::InitKeyset(record, name.c_str(), 0, names);
            store.Add(record);
        }
        std::vector<double> saves;
        std::vector<double> loads;
        for (int run = 0; run < runs; ++run) {
            LARGE_INTEGER start;
            LARGE_INTEGER saved;
            LARGE_INTEGER loaded;
            qvl::CKeysetRegistry saver(storage);
            saver.SetRootPath(kTimingRoot);
            saver.Attach(store);
            QueryPerformanceCounter(&start);
            saver.SaveAll();
            QueryPerformanceCounter(&saved);
            qvl::CKeysetRegistry loader(storage);
            loader.SetRootPath(kTimingRoot);
            loader.Attach(store);
            const bool ok = loader.LoadAll();
            QueryPerformanceCounter(&loaded);
            if (!ok || store.GetCount() != count) {
                std::printf("load of %d keysets gave %d\n", count, store.GetCount());
                return 1;
            }
            saves.push_back(Milliseconds(start, saved));
            loads.push_back(Milliseconds(saved, loaded));
        }
        Print("SaveAll", count, saves);
        Print("LoadAll", count, loads);
    }
    registry.DeleteTree(qvl::Registry::kCurrentUser, kTimingRoot);
    return 0;
}
