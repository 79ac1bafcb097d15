// The other program of the registry tests, loading and saving keysets as the editor or the driver
// would:
//   keyset_peer save N SEED        save the list FillKeysets(N, SEED) makes; exit 0
//   keyset_peer check N SEED       exit 0 when a load gives exactly that list, else 3
//   keyset_peer churn N SEED R     save R times, alternating SEED and SEED + 1; exit 0
//   keyset_peer crash SEED STEP    save the crash list STEP, then STEP + 1, ... until ended from
//                                  outside; before each save after the first it puts the step
//                                  about to be saved in the named block the test made
#include "keyset_crash_lists.h"
#include "keyset_fixture.h"

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4)
        return 1;
    const std::string command = argv[1];
    const int count = std::atoi(argv[2]);
    const int seed = std::atoi(argv[3]);
    qvl::wintest::RealStore real;
    if (command == "save") {
        qvl::wintest::FillKeysets(real.store, count, seed);
        real.Save();
        return 0;
    }
    if (command == "check") {
        if (!real.Load())
            return 2;
        return qvl::wintest::HoldsKeysets(real.store, count, seed) ? 0 : 3;
    }
    if (command == "crash") {
        const int seed = count;
        int step = std::atoi(argv[3]);
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, qvl::wintest::kCrashStepBlock);
        auto* announced =
            mapping != nullptr ? static_cast<volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
        if (announced == nullptr)
            return 2;
        for (;;) {
            qvl::wintest::FillCrashList(real.store, seed, step);
            real.Save();
            InterlockedExchange(const_cast<LONG*>(announced), ++step);
        }
    }
    if (command == "churn" && argc == 5) {
        const int rounds = std::atoi(argv[4]);
        for (int round = 0; round < rounds; ++round) {
            qvl::wintest::FillKeysets(real.store, count, seed + round % 2);
            real.Save();
        }
        return 0;
    }
    return 1;
}
