#include "physics/BallPairSweep.h"

#include <algorithm>
#include <limits>

namespace physics {

namespace {

// Sorts after every finite x: the balls that can pair with none gather at the end.
constexpr std::int32_t kExcluded = std::numeric_limits<std::int32_t>::max();

// An integer that orders finite values as their numbers do (a negative zero sorts just below a
// positive one, which the sweep does not mind: their difference is zero either way).
std::int32_t OrderKey(F32 v) {
    const auto bits = static_cast<std::int32_t>(v.Bits());
    return bits < 0 ? bits ^ 0x7FFFFFFF : bits;
}

}  // namespace

void BallPairSweep::Find(const std::vector<std::shared_ptr<Ball>>& balls, F32 contact) {
    const std::size_t count = std::min<std::size_t>(balls.size(), kMaxBallCount);
    if (orderCount_ != count) {
        for (std::size_t i = 0; i < count; ++i) order_[i] = static_cast<std::uint8_t>(i);
        orderCount_ = count;
    }

    std::size_t eligible = 0;
    for (std::size_t i = 0; i < count; ++i) {
        partners_[i] = 0;
        const Ball& b = *balls[i];
        const F32 x = b.position.x;
        const F32 y = b.position.y;
        if (b.outOfPlay != 0 || !IsFinite(x) || !IsFinite(y)) {
            key_[i] = kExcluded;
            continue;
        }
        key_[i] = OrderKey(x);
        x_[i] = x;
        y_[i] = y;
        ++eligible;
    }

    for (std::size_t p = 1; p < count; ++p) {
        const std::uint8_t index = order_[p];
        const std::int32_t key = key_[index];
        std::size_t q = p;
        for (; q > 0 && key_[order_[q - 1]] > key; --q) order_[q] = order_[q - 1];
        order_[q] = index;
    }

    // Chopping toward zero keeps an f32 bound: the stored difference of two f32 lies below
    // `contact` exactly when the exact difference does. Along the sorted x the difference only
    // grows, so the scan from a ball ends at the first one too far away.
    for (std::size_t p = 0; p < eligible; ++p) {
        const std::size_t a = order_[p];
        const F32 xa = x_[a];
        const F32 ya = y_[a];
        for (std::size_t q = p + 1; q < eligible; ++q) {
            const std::size_t b = order_[q];
            if (!(St(x_[b] - xa) < contact)) break;
            if (!(AbsF(St(y_[b] - ya)) < contact)) continue;
            // Asked only of the few pairs near enough: two balls at rest do not collide.
            if (balls[a]->IsAtRest() && balls[b]->IsAtRest()) continue;
            const std::size_t low = std::min(a, b);
            const std::size_t high = std::max(a, b);
            partners_[low] |= std::uint64_t{1} << high;
        }
    }
}

}  // namespace physics
