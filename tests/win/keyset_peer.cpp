// The other program of the registry tests, loading and saving keysets as the editor or the driver
// would:
//   keyset_peer save N SEED        save the list FillKeysets(N, SEED) makes; exit 0
//   keyset_peer check N SEED       exit 0 when a load gives exactly that list, else 3
//   keyset_peer churn N SEED R     save R times, alternating SEED and SEED + 1; exit 0
#include "keyset_fixture.h"

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
