#pragma once
// The orientation turns of moving balls, applied in a batch after the sub-steps that recorded
// them. A turn normalises the spin into an axis and its length, builds the increment (the
// rotation by length * h about that axis), and then sets the orientation to
// increment x orientation, normalised. Only that last part chains from one turn of a ball to
// its next: the increments depend on the recorded spins alone. So a batch is applied in two
// passes: first every increment, several side by side whatever their ball, then each ball's
// chain of products and normalisations in its recorded order, different balls' chains side by
// side. Per turn these are the operations of a single turn on the same values, so the bits are
// those of turning each ball sub-step by sub-step.
//
// `Turn` is any record with `ball` (a pointer to something with an `orientation`) and `spin`.

#include <cstddef>

#include "physics/MathTypes.h"

namespace physics {

namespace turns {

// Turns at most this many records per block: the increments live on the stack, and a block's
// increments stay in the first-level cache between the passes.
inline constexpr std::size_t kBlock = 128;
// Increments computed side by side.
inline constexpr std::size_t kIncrementsSideBySide = 4;
// Ball chains advanced side by side.
inline constexpr std::size_t kChainsSideBySide = 4;

template <std::size_t N, class Turn>
[[gnu::always_inline]] inline void IncrementsSideBySide(const Turn* turns, Quaternion* out, F32 h) {
    Vector3 axis[N];
    F32 len[N];
    for (std::size_t k = 0; k < N; ++k) {
        axis[k] = turns[k].spin;
        axis[k].Normalize(&len[k]);
    }
    for (std::size_t k = 0; k < N; ++k) out[k].FromAxisAngle(St(len[k] * h), axis[k]);
}

// One step of N different balls' chains: orientation = increment x orientation, normalised.
template <std::size_t N, class Turn>
[[gnu::always_inline]] inline void ChainsSideBySide(const Turn* turns, const Quaternion* increments) {
    Quaternion q[N];
    for (std::size_t k = 0; k < N; ++k) q[k] = increments[k];
    for (std::size_t k = 0; k < N; ++k) q[k] *= turns[k].ball->orientation;
    for (std::size_t k = 0; k < N; ++k) q[k].Normalize();
    for (std::size_t k = 0; k < N; ++k) turns[k].ball->orientation = q[k];
}

// The consecutive turns of the first record's ball, its orientation kept out of memory between
// them; returns how many there were.
template <class Turn>
std::size_t OneBallChain(const Turn* turns, const Quaternion* increments, std::size_t left) {
    auto* const ball = turns[0].ball;
    Quaternion orientation = ball->orientation;
    std::size_t k = 0;
    do {
        Quaternion q = increments[k];
        q *= orientation;
        q.Normalize();
        orientation = q;
        ++k;
    } while (k < left && turns[k].ball == ball);
    ball->orientation = orientation;
    return k;
}

// How many of the records from `first` on (at most kChainsSideBySide) belong to different balls.
template <class Turn>
std::size_t DistinctRun(const Turn* first, std::size_t left) {
    const std::size_t most = left < kChainsSideBySide ? left : kChainsSideBySide;
    std::size_t n = 1;
    for (; n < most; ++n)
        for (std::size_t k = 0; k < n; ++k)
            if (first[k].ball == first[n].ball) return n;
    return n;
}

template <class Turn>
void ApplyBlock(const Turn* turns, std::size_t count, F32 h) {
    Quaternion increments[kBlock];
    std::size_t i = 0;
    for (; i + kIncrementsSideBySide <= count; i += kIncrementsSideBySide)
        IncrementsSideBySide<kIncrementsSideBySide>(turns + i, increments + i, h);
    for (; i < count; ++i) IncrementsSideBySide<1>(turns + i, increments + i, h);

    // A ball turns at most once per sub-step, so the records run through the moving balls
    // sub-step by sub-step: runs of different balls are one step of each of their chains.
    static_assert(kChainsSideBySide == 4);
    for (i = 0; i < count;) {
        const std::size_t n = DistinctRun(turns + i, count - i);
        if (n == 4)
            ChainsSideBySide<4>(turns + i, increments + i);
        else if (n == 3)
            ChainsSideBySide<3>(turns + i, increments + i);
        else if (n == 2)
            ChainsSideBySide<2>(turns + i, increments + i);
        else
            i += OneBallChain(turns + i, increments + i, count - i) - n;
        i += n;
    }
}

}  // namespace turns

// Applies one turn over h.
template <class Turn>
void ApplyTurn(const Turn& turn, F32 h) {
    Quaternion increment;
    turns::IncrementsSideBySide<1>(&turn, &increment, h);
    turns::ChainsSideBySide<1>(&turn, &increment);
}

// Applies `count` recorded turns over h, each ball's in the order recorded.
template <class Turn>
void ApplyTurns(const Turn* turns, std::size_t count, F32 h) {
    while (count > 0) {
        const std::size_t n = count < turns::kBlock ? count : turns::kBlock;
        turns::ApplyBlock(turns, n, h);
        turns += n;
        count -= n;
    }
}

}  // namespace physics
