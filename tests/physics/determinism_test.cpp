// The shared physics gives the same bits on every thread and in every process.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "platform/sys/Fpu.h"
#include "tests/physics/support/ProbeHash.h"

namespace physics::testing {
namespace {

std::string Hashes() {
    char line[64];
    std::snprintf(line, sizeof line, "%016llx %016llx\n", static_cast<unsigned long long>(SetUpHash()),
                  static_cast<unsigned long long>(ShotHash()));
    return line;
}

TEST(Determinism, SameHashesOnThreadsWithAnyControlWordAndInAnotherProcess) {
    const std::string here = Hashes();
    std::string nearest, chopped;
    std::thread a([&] {
        platform::SetFpuControl(0x037F);
        nearest = Hashes();
    });
    a.join();
    // One model simulates at a time in a process: the threads run one after the other.
    std::thread b([&] {
        platform::SetFpuControl();
        chopped = Hashes();
    });
    b.join();
    EXPECT_EQ(nearest, here);
    EXPECT_EQ(chopped, here);

    const std::string probe = std::string(MARVENLOT_BINARY_DIR) + "/tests/physics/physics_probe_O2";
    FILE* pipe = popen(probe.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[128] = {};
    const bool read = std::fgets(buffer, sizeof buffer, pipe) != nullptr;
    pclose(pipe);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::string(buffer), here);
}

}  // namespace
}  // namespace physics::testing
