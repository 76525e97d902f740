#include "physics/TurnBatch.h"

#include "physics/TurnLanes.h"

namespace physics {

namespace {

// The product with the orientation, the normalise and the store of N turns of different balls
// whose increments q are computed, step by step side by side: each is a chain of dependent
// operations, and interleaving them lets the processor work on all at once.
template <std::size_t N, class Turn>
void FinishTurnsSideBySide(const Turn* turns, Quaternion* q) {
    for (std::size_t k = 0; k < N; ++k) q[k] *= turns[k].ball->orientation;
    for (std::size_t k = 0; k < N; ++k) q[k].Normalize();
    for (std::size_t k = 0; k < N; ++k) turns[k].ball->orientation = q[k];
}

// The increments of `count` recorded turns into q, four at a time in lanes whatever their balls
// (an increment depends on its spin and h only). A lane that is not certain is computed by the
// scalar steps of a single turn from the same inputs. q has room for count rounded up to a
// multiple of 4 (the lanes past the end repeat the last turn).
template <class Turn>
void ComputeIncrements(const Turn* turns, std::size_t count, F32 h, Quaternion* q) {
    for (std::size_t first = 0; first < count; first += 4) {
        const std::size_t n = count - first < 4 ? count - first : 4;
        const Vector3* spins[4];
        for (std::size_t k = 0; k < 4; ++k) spins[k] = &turns[first + (k < n ? k : n - 1)].spin;
        const unsigned certain = TurnIncrementsInLanes(spins, h, q + first);
        unsigned doubtful = ~certain & ((1u << n) - 1u);
        for (; doubtful != 0; doubtful &= doubtful - 1) [[unlikely]] {
                const std::size_t k = first + static_cast<std::size_t>(__builtin_ctz(doubtful));
                q[k] = TurnIncrement(turns[k].spin, h);
            }
    }
}

// How many of the turns from `first` on (at most 4) belong to different balls.
template <class Turn>
std::size_t DistinctRun(const Turn* first, std::size_t left) {
    const std::size_t most = left < 4 ? left : 4;
    std::size_t n = 1;
    for (; n < most; ++n)
        for (std::size_t k = 0; k < n; ++k)
            if (first[k].ball == first[n].ball) return n;
    return n;
}

}  // namespace

void ApplyTurns(const PendingTurn* turns, std::size_t count, F32 h) {
    // The increments first, then the products in record order: a ball turns once per sub-step,
    // so neighbours in the record are mostly different balls and go side by side; the same ball
    // again must wait for its previous turn.
    constexpr std::size_t kBlock = 64;
    static_assert(kBlock % 4 == 0, "the increments of a block are written four at a time");
    Quaternion increments[kBlock];
    const PendingTurn* turn = turns;
    std::size_t left = count;
    while (left > 0) {
        const std::size_t block = left < kBlock ? left : kBlock;
        ComputeIncrements(turn, block, h, increments);
        Quaternion* q = increments;
        for (std::size_t done = 0; done < block;) {
            const std::size_t n = DistinctRun(turn + done, block - done);
            if (n == 4)
                FinishTurnsSideBySide<4>(turn + done, q + done);
            else if (n == 3)
                FinishTurnsSideBySide<3>(turn + done, q + done);
            else if (n == 2)
                FinishTurnsSideBySide<2>(turn + done, q + done);
            else
                FinishTurnsSideBySide<1>(turn + done, q + done);
            done += n;
        }
        turn += block;
        left -= block;
    }
}

Quaternion TurnIncrement(const Vector3& spin, F32 h) {
    Vector3 axis = spin;
    F32 len;
    axis.Normalize(&len);
    Quaternion q;
    q.FromAxisAngle(St(len * h), axis);
    return q;
}

void TurnBall(Ball& ball, const Vector3& spin, F32 h) {
    const PendingTurn turn{&ball, spin};
    Quaternion q = TurnIncrement(spin, h);
    FinishTurnsSideBySide<1>(&turn, &q);
}

}  // namespace physics
