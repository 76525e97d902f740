// Prints the physics probe hashes; built at several optimisation levels, whose outputs must agree.
#include <cstdio>
#include <thread>

#include "tests/physics/support/ProbeHash.h"

int main() {
    unsigned long long setUp = 0, shots = 0;
    // A fresh thread that never set the control word: the entries must set it themselves.
    std::thread worker([&] {
        setUp = physics::testing::SetUpHash();
        shots = physics::testing::ShotHash();
    });
    worker.join();
    std::printf("%016llx %016llx\n", setUp, shots);
    return 0;
}
