#pragma once
// The turns of the balls' orientations over a sub-step. Nothing in a sub-step reads an
// orientation, so Simulate records each moving ball's spin and turns the orientations after its
// last sub-step: the same operations in the same order per ball, but the balls' turn chains and
// the motion no longer wait on each other, and four increments run at once in SSE lanes
// (TurnLanes.h). A record applied gives the bits of TurnBall run for its entries in order.

#include <cstddef>
#include <vector>

#include "physics/Ball.h"

namespace physics {

// The rotation of one turn on the scalar steps: by |spin| * h about the spin's axis.
Quaternion TurnIncrement(const Vector3& spin, F32 h);
// Turns the orientation by `spin` over h (the last part of a sub-step).
void TurnBall(Ball& ball, const Vector3& spin, F32 h);

struct PendingTurn {
    Ball* ball;
    Vector3 spin;
};
// The turns of a record in its order: each ball ends as if TurnBall had run for its entries one
// after another.
void ApplyTurns(const PendingTurn* turns, std::size_t count, F32 h);

// The record of one Simulate call.
class TurnBatch {
public:
    void Record(Ball& ball) { turns_.push_back(PendingTurn{&ball, ball.spin}); }
    // Recorded turns are applied once this many wait, so a call of many sub-steps keeps a small
    // buffer (when they run changes no bit).
    bool Full() const { return turns_.size() >= kMaxPending; }
    void Apply(F32 h) {
        ApplyTurns(turns_.data(), turns_.size(), h);
        turns_.clear();
    }

private:
    static constexpr std::size_t kMaxPending = 4096;
    std::vector<PendingTurn> turns_;
};

}  // namespace physics
