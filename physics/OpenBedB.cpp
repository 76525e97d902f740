// Branch B's sub-step of the balls that roll or slide on the open bed, side by side.
//
// A ball's sub-step is one long chain of dependent operations (roots, quotients, margin tests)
// that the processor cannot overlap with the next ball's chain when the balls run one after the
// other. The balls' motions within a sub-step are independent, so the balls in the common state
// (no cue pulse left, landing on the bed, no cushion, rail top or pocket within reach, nothing to
// report) run each stage for all of them before the next stage. Each ball's own operations and
// stores are those of MoveBall in that state; every other ball takes the ordinary path, in the
// ordinary order, so events and recorded turns keep their order.
#include "physics/ClothFrictionStepsB.h"
#include "physics/PhysicsConstants.h"

namespace physics {

namespace {

// What is left of a ball's sub-step after the staged part: nothing (out of play, or landed on the
// open bed), the whole ordinary sub-step, or the ordinary contacts from the pocket zone on.
enum class Remainder : std::uint8_t { OutOfPlay, Whole, FromPocketZone, None };

// After the position and gravity step: true when the pocket zone, the rail contact and the rail
// top do nothing to the ball but land it on the bed after kind-0 cloth friction. The same
// comparisons as CollidePocketZone (its bed branch with no bounce, hence no event), and the rail
// contact's reach tests (none reached, so the pocket zone finds no hole either); `bedStop` is
// the pocket zone's St(pocketZoneSpeed h).
bool LandsOnOpenBed(const Ball& ball, const TableGeometry& g, F32 bedStop) {
    const F32 r = ball.radiusCm;
    const F32 x = ball.position.x, y = ball.position.y, z = ball.position.z;
    const F32 vz = ball.velocity.z;
    if (!(g.outer.xMin <= x && x <= g.outer.xMax && g.outer.yMin <= y && y <= g.outer.yMax && z <= r))
        return false;
    if (!(z > F32(0.0f) && vz < F32(0.0f) && -bedStop < vz)) return false;
    return !(x < r + g.cushion.xMin || x > g.cushion.xMax - r || y < r + g.cushion.yMin ||
             y > g.cushion.yMax - r);
}

}  // namespace

template <std::size_t N>
void PhysicsModelB::RollOnBedSideBySide(Ball* const* balls) {
    // ApplyClothFriction(ball, h, 0) of N balls that do not rest (their vertical speed is
    // negative), staged: the shared prefix, then each ball's slide or roll, then the spin-about-z
    // tail.
    const F32* set = Params().table.frictionSets[0];
    const F32 c = kind0Offset;
    F32 speed[N], s[N];
    FrictionBounds f[N];
    BedSlide d[N];
    bool live[N];
    for (std::size_t k = 0; k < N; ++k) speed[k] = Length2D(balls[k]->velocity.x, balls[k]->velocity.y);
    for (std::size_t k = 0; k < N; ++k)
        live[k] = BoundsOfFriction(balls[k]->velocity, speed[k], c, set, f[k]);
    for (std::size_t k = 0; k < N; ++k) d[k] = SlideOnBed(*balls[k]);
    for (std::size_t k = 0; k < N; ++k) s[k] = Length2D(d[k].sx, d[k].sy);
    for (std::size_t k = 0; k < N; ++k) {
        if (!live[k]) continue;
        if (f[k].a * 3.5f < s[k])
            FrictionSlide(*balls[k], set, f[k].a, s[k], d[k].pp, d[k].qq, d[k].sx, d[k].sy);
        else
            FrictionRoll(*balls[k], speed[k], f[k].b, f[k].t);
    }
    for (std::size_t k = 0; k < N; ++k)
        if (live[k]) FrictionSpinZ(*balls[k], f[k].t);
}

bool PhysicsModelB::MoveBalls(F32 h) {
    const std::size_t count = balls_.size();
    // The ball count is capped at kMaxBallCount; the arrays below hold that many.
    if (!kFastPaths || count > kMaxBallCount) return PhysicsModel::MoveBalls(h);
    const TableGeometry& g = tableRecord_->geometry;
    const F32 bedStop = St(Params().table.pocketZoneSpeed * h);
    // The cloth friction of the bed landing runs only for a positive sub-step.
    const bool staged = h > F32(0.0f);
    Remainder remainder[kMaxBallCount];
    Ball* onBed[kMaxBallCount];
    std::size_t onBedCount = 0;

    for (std::size_t i = count; i-- > 0;) {
        Ball& ball = *balls_[i];
        if (ball.outOfPlay != 0) {
            remainder[i] = Remainder::OutOfPlay;
            continue;
        }
        if (!staged || ball.cueTimeLeft > F32(0.0f) || ball.railContact != 0) {
            remainder[i] = Remainder::Whole;
            continue;
        }
        Advance(ball, h);
        if (LandsOnOpenBed(ball, g, bedStop)) {
            remainder[i] = Remainder::None;
            onBed[onBedCount++] = &ball;
        } else {
            remainder[i] = Remainder::FromPocketZone;
        }
    }

    Ball* const* group = onBed;
    std::size_t left = onBedCount;
    for (; left >= 4; left -= 4, group += 4) RollOnBedSideBySide<4>(group);
    if (left == 3) RollOnBedSideBySide<3>(group);
    if (left == 2) RollOnBedSideBySide<2>(group);
    if (left == 1) RollOnBedSideBySide<1>(group);
    // The rest of the pocket zone's bed branch; the rail contact finds no rail bit, and the rail
    // top is skipped after a pocket-zone landing.
    for (std::size_t k = 0; k < onBedCount; ++k) {
        Ball& ball = *onBed[k];
        ball.velocity.z = F32(0.0f);
        ball.position.z = ball.radiusCm;
        ball.inPocketZone = 1;
    }

    bool allRest = true;
    for (std::size_t i = count; i-- > 0;) {
        Ball& ball = *balls_[i];
        bool still;
        switch (remainder[i]) {
            case Remainder::OutOfPlay:
                continue;
            case Remainder::Whole:
                still = MoveBall(ball, h);
                break;
            case Remainder::FromPocketZone:
                still = FinishMove(ball, h);
                break;
            default:
                still = ball.IsAtRest();
                break;  // None: landed on the open bed
        }
        if (!still) QueueTurn(ball);
        allRest = allRest && still;
    }
    return allRest;
}

}  // namespace physics
