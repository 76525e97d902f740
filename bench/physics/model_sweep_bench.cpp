// A whole three-ball shot to rest for every model id on a carom and a pocket table, as simulated
// seconds per wall second. The target is the default model's (simulate_bench.cpp): no version a
// shot record names may be much slower to replay than the default one.
#include <benchmark/benchmark.h>

#include "bench/physics/BenchShots.h"
#include "physics/PhysicsFactory.h"

namespace {

using physics::F32;

void EveryModelShotToRest(benchmark::State& state) {
    const auto id = static_cast<std::uint32_t>(state.range(0));
    const auto table = static_cast<std::uint32_t>(state.range(1));
    auto m = physics::CreatePhysicsModel(id, table, 3, false);
    const bool pockets = m->Table().hasPockets != 0;
    for (std::uint16_t i = 0; i < 3; ++i)
        m->GetBall(i).SetSize(pockets ? F32(2.8575f) : F32(3.075f), pockets ? F32(0.17f) : F32(0.21f));
    const std::uint32_t subSteps = pockets ? 15 : 50;
    double simulated = 0.0;
    for (auto _ : state) {
        benchshots::PlaceThreeBalls(*m);
        physics::ShotParams shot{};
        shot.offsetLimitSide = shot.tipOffsetSide = F32(0.1f);
        shot.offsetLimitVertical = shot.tipOffsetVertical = F32(0.2f);
        shot.power = F32(0.8f);
        shot.limitFactor = F32(1.0f);
        m->Strike(m->GetBall(0), F32(40.0f), F32(8.0f), shot);
        std::uint32_t calls = 1;
        while (!m->Simulate(F32(0.005f), subSteps, F32(1.0f)) && calls < 24000) ++calls;
        simulated += 0.005 * calls;
    }
    state.counters["simulatedSecondsPerSecond"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
}

void EveryId(benchmark::internal::Benchmark* b) {
    for (std::int64_t id = physics::kFirstModelId; id <= physics::kLastModelId; ++id)
        for (std::int64_t table : {0, 1}) b->Args({id, table});
}
BENCHMARK(EveryModelShotToRest)->Apply(EveryId)->Unit(benchmark::kMillisecond);

}  // namespace
