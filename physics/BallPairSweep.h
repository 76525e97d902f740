#pragma once
// The broad phase of the ball-collision search: a sweep over the balls sorted by x that finds
// the pairs lying closer than the contact distance along x and along y. Its tests are exact, so
// it keeps precisely the pairs that the pair-by-pair test would have let through; the caller
// then runs the full test on them in ascending (ia, ib) order.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "physics/Ball.h"
#include "physics/PhysicsConstants.h"

namespace physics {

class BallPairSweep {
public:
    // Below this many balls the plain test of every pair costs less than sorting them.
    static constexpr std::size_t kMinBalls = 5;

    // Marks every pair ia < ib of balls in play, not both at rest, whose centres differ by less
    // than `contact` in x and in y. A ball with an x or y that is not finite pairs with none.
    void Find(const std::vector<std::shared_ptr<Ball>>& balls, F32 contact);
    // The balls ib > ia that the last Find paired with ia, one bit each.
    std::uint64_t Partners(std::size_t ia) const { return partners_[ia]; }

private:
    static_assert(kMaxBallCount <= 64, "a partner set is one 64-bit word");

    // Ball indices by ascending x. Kept between calls: balls move little in a sub-step, so the
    // insertion sort that restores the order does about one comparison per ball.
    std::array<std::uint8_t, kMaxBallCount> order_{};
    std::size_t orderCount_ = 0;
    std::array<std::int32_t, kMaxBallCount> key_{};
    std::array<F32, kMaxBallCount> x_{};
    std::array<F32, kMaxBallCount> y_{};
    std::array<std::uint64_t, kMaxBallCount> partners_{};
};

}  // namespace physics
