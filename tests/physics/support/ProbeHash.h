#pragma once
// A hash over physics computations (sub-step lengths, table geometry, the parameter block of
// every model on every table, math helpers and whole shots) that must come out the same in
// every build, on every thread and in every process.

#include <cstdint>

namespace physics::testing {

std::uint64_t SetUpHash();
std::uint64_t ShotHash();

}  // namespace physics::testing
