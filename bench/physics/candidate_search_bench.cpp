// Cost of the ball-pair search alone: 50 searches (one call's sub-steps) over a rack of moving
// balls, spread over the bed or packed into a touching triangle (where neighbours approach).
#include <benchmark/benchmark.h>

#include "physics/PhysicsEntry.h"
#include "physics/PhysicsModel.h"

namespace {

using physics::F32;

class SearchedRack : public physics::PhysicsModel {
public:
    SearchedRack(std::uint16_t count, bool packed) : PhysicsModel(1, count) {
        for (std::uint16_t i = 0; i < count; ++i) {
            physics::Ball& b = GetBall(i);
            b.SetSize(F32(2.8575f), F32(0.17f));
            float x, y;
            if (packed) {
                // Rows of a triangle with the balls 0.01 cm apart: every neighbour is in contact.
                int row = 0;
                int first = 0;
                while (first + row + 1 <= i) first += ++row;
                x = 5.0f * static_cast<float>(row);
                y = 5.8f * (static_cast<float>(i - first) - 0.5f * static_cast<float>(row));
            } else {
                x = -90.0f + 30.0f * static_cast<float>(i % 7);
                y = -45.0f + 15.0f * static_cast<float>(i / 7);
            }
            b.position = physics::Vector3(F32(x), F32(y), b.radiusCm);
            const bool even = i % 2 == 0;
            b.velocity = physics::Vector3(F32(even ? 0.5f : -0.5f), F32(even ? 0.2f : 0.1f), F32(0.0f));
        }
    }

    void Search50() {
        physics::PhysicsEntry entry;
        SearchBehindEntry();
    }

private:
    PHYSICS_BEHIND_ENTRY void SearchBehindEntry() {
        for (int i = 0; i < 50; ++i) {
            physics::PhysicsEventQueue().clear();
            GatherCollisionCandidates();
        }
    }
};

void CandidateSearch(benchmark::State& state, bool packed) {
    SearchedRack rack(static_cast<std::uint16_t>(state.range(0)), packed);
    for (auto _ : state) rack.Search50();
}

void BM_CandidateSearchSpread(benchmark::State& state) {
    CandidateSearch(state, false);
}
void BM_CandidateSearchPacked(benchmark::State& state) {
    CandidateSearch(state, true);
}
BENCHMARK(BM_CandidateSearchSpread)->Arg(3)->Arg(16)->Arg(22);
BENCHMARK(BM_CandidateSearchPacked)->Arg(3)->Arg(16)->Arg(22);

}  // namespace
