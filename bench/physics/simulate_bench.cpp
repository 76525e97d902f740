// Cost of the physics: one sub-step per ball, and whole shots to rest as simulated seconds per
// wall second. Goals: a carom shot to rest at least 1000x faster than real time; the worst real
// load (22 balls x 50 sub-steps x 200 ticks per second) under 2% of one core.
#include <benchmark/benchmark.h>

#include "bench/physics/BenchShots.h"
#include "physics/PhysicsFactory.h"

namespace {

using physics::F32;

std::shared_ptr<physics::PhysicsModel> MovingRack(std::uint32_t model, std::uint32_t table,
                                                  std::uint16_t count) {
    auto m = physics::CreatePhysicsModel(model, table, count, false);
    const bool pockets = m->Table().hasPockets != 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        physics::Ball& b = m->GetBall(i);
        b.SetSize(pockets ? F32(2.8575f) : F32(3.075f), pockets ? F32(0.17f) : F32(0.21f));
    }
    return m;
}

// Spreads the balls over the bed, each rolling; collisions stay rare so the cost is the step.
void Reset(physics::PhysicsModel& m) {
    for (std::uint16_t i = 0; i < m.BallCount(); ++i) {
        physics::Ball& b = m.GetBall(i);
        b.ResetMotion();
        b.outOfPlay = 0;
        const float x = -90.0f + 30.0f * static_cast<float>(i % 7);
        const float y = -45.0f + 15.0f * static_cast<float>(i / 7);
        b.position = physics::Vector3(F32(x), F32(y), b.radiusCm);
        b.velocity = physics::Vector3(F32(0.5f), F32(0.2f), F32(0.0f));
        b.spin = physics::Vector3(F32(-5.0f), F32(12.0f), F32(3.0f));
    }
}

void SubStepPerBall(benchmark::State& state, std::uint32_t table, std::uint16_t balls,
                    std::uint32_t subSteps) {
    auto m = MovingRack(physics::kDefaultPhysicsModelId, table, balls);
    for (auto _ : state) {
        state.PauseTiming();
        Reset(*m);
        state.ResumeTiming();
        benchmark::DoNotOptimize(m->Simulate(F32(0.005f), subSteps, F32(1.0f)));
    }
    state.SetItemsProcessed(state.iterations() * balls * subSteps);
    // Share of one core at 200 calls per second.
    state.counters["coreShareAt200Hz"] =
        benchmark::Counter(200.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SubStepCarom3(benchmark::State& s) {
    SubStepPerBall(s, 0, 3, 50);
}
void BM_SubStepPocket16(benchmark::State& s) {
    SubStepPerBall(s, 1, 16, 15);
}
void BM_SubStepPocket22(benchmark::State& s) {
    SubStepPerBall(s, 1, 22, 15);
}
void BM_SubStepWorstCase22x50(benchmark::State& s) {
    SubStepPerBall(s, 1, 22, 50);
}
BENCHMARK(BM_SubStepCarom3);
BENCHMARK(BM_SubStepPocket16);
BENCHMARK(BM_SubStepPocket22);
BENCHMARK(BM_SubStepWorstCase22x50);

// The fixed cost of a call: entry guard, event queue and the rest test of balls that lie still.
void BM_SimulateAtRest(benchmark::State& state) {
    auto m = MovingRack(physics::kDefaultPhysicsModelId, 0, 3);
    Reset(*m);
    for (std::uint16_t i = 0; i < m->BallCount(); ++i) {
        m->GetBall(i).velocity = physics::Vector3();
        m->GetBall(i).spin = physics::Vector3();
    }
    m->Simulate(F32(0.005f), 50, F32(1.0f));
    for (auto _ : state) benchmark::DoNotOptimize(m->Simulate(F32(0.005f), 50, F32(1.0f)));
}
BENCHMARK(BM_SimulateAtRest);

void ShotToRest(benchmark::State& state, std::uint32_t model, std::uint32_t table) {
    auto m = MovingRack(model, table, 3);
    const std::uint32_t subSteps = m->Table().hasPockets ? 15 : 50;
    double simulated = 0.0;
    for (auto _ : state) {
        benchshots::PlaceThreeBalls(*m);
        physics::ShotParams shot{};
        shot.power = F32(0.8f);
        shot.limitFactor = F32(1.0f);
        m->Strike(m->GetBall(0), F32(40.0f), F32(8.0f), shot);
        std::uint32_t calls = 0;
        while (!m->Simulate(F32(0.005f), subSteps, F32(1.0f)) && calls < 24000) ++calls;
        simulated += 0.005 * (calls + 1);
    }
    state.counters["simulatedSecondsPerSecond"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
}

void BM_ShotToRest(benchmark::State& s) {
    ShotToRest(s, static_cast<std::uint32_t>(s.range(0)), static_cast<std::uint32_t>(s.range(1)));
}
BENCHMARK(BM_ShotToRest)
    ->Args({0x10014, 0})
    ->Args({0x10014, 6})
    ->Args({0x10014, 1})
    ->Args({0x10010, 0})
    ->Unit(benchmark::kMillisecond);
// Branch A: one model per strike form and rail form, on a carom and a pocket table.
BENCHMARK(BM_ShotToRest)
    ->Args({0x10005, 0})
    ->Args({0x10007, 1})
    ->Args({0x1000A, 6})
    ->Args({0x1000C, 1})
    ->Args({0x1000E, 0})
    ->Args({0x1000F, 11})
    ->Unit(benchmark::kMillisecond);

}  // namespace
