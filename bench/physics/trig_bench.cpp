// Sine and cosine of the half angles a ball turns by in a sub-step: the polynomial path against
// the library path it replaces.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/core/Lcg.h"
#include "physics/Numeric.h"
#include "physics/PhysicsEntry.h"

namespace {

using physics::F32;

// Half angles between 2^-14 and 2^-5, spread over the binades.
std::vector<F32> HalfAngles() {
    Lcg lcg;
    lcg.Seed(11);
    std::vector<F32> angles;
    for (int i = 0; i < 4096; ++i)
        angles.push_back(F32::FromBits(0x38800000u + (lcg.Next() << 8 ^ lcg.Next()) % 0x04800000u));
    return angles;
}

template <bool kLibrary>
PHYSICS_BEHIND_ENTRY std::uint32_t Turns(const std::vector<F32>& angles) {
    std::uint32_t mix = 0;
    for (F32 a : angles) {
        const F32 s = kLibrary ? physics::detail::LibrarySinF(a) : physics::SinF(a);
        const F32 c = kLibrary ? physics::detail::LibraryCosF(a) : physics::CosF(a);
        mix ^= s.Bits() + c.Bits();
    }
    return mix;
}

template <bool kLibrary>
void BM_SinCosHalfAngle(benchmark::State& state) {
    const std::vector<F32> angles = HalfAngles();
    physics::PhysicsEntry entry;
    for (auto _ : state) benchmark::DoNotOptimize(Turns<kLibrary>(angles));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(angles.size()));
}
BENCHMARK(BM_SinCosHalfAngle<false>)->Name("BM_SinCosHalfAngle/polynomial");
BENCHMARK(BM_SinCosHalfAngle<true>)->Name("BM_SinCosHalfAngle/library");

}  // namespace
