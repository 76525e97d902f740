#include "physics/PhysicsModel.h"

#include "engine/core/Log.h"
#include "physics/ParamWriter.h"
#include "physics/PhysicsEntry.h"
#include "physics/PhysicsModelB.h"

namespace physics {

namespace {
std::uint64_t setUpSerial = 0;
constexpr std::uint32_t kMaxSubStepsPerCall = 1000000;
}  // namespace

std::uint64_t ParamsSetUpSerial() {
    return setUpSerial;
}

namespace {
PHYSICS_BEHIND_ENTRY F32 DivideSubSteps(F32 dt, std::uint32_t subSteps) {
    return St(dt / St(FromInteger(subSteps)));
}
}  // namespace

F32 SubStepLength(F32 dt, std::uint32_t subSteps) {
    PhysicsEntry entry;
    return DivideSubSteps(dt, subSteps == 0 ? 1 : subSteps);
}

PhysicsModel::PhysicsModel(std::uint32_t tableType, std::uint16_t ballCount)
    : tableRecord_(std::make_unique<TableRecord>()), tableType_(tableType) {
    tableRecord_->model = this;
    SetBallCount(ballCount);
}

PhysicsModel::~PhysicsModel() = default;

void PhysicsModel::SetBallCount(std::uint16_t count) {
    PhysicsEntry entry;
    RebuildBalls(count);
}

void PhysicsModel::RebuildBalls(std::uint16_t count) {
    if (count > kMaxBallCount) {
        LogWrite(u"physics: ball count %u capped at %u\n", count, kMaxBallCount);
        count = kMaxBallCount;
    }
    const std::size_t n = count;
    const std::size_t candidates = (n * (n == 0 ? 0 : n - 1)) / 2 + 5 * n;
    if (count != ballCount_ || balls_.size() != n) {
        balls_.clear();
        balls_.reserve(n);
        for (std::uint16_t i = 0; i < count; ++i)
            balls_.push_back(std::make_shared<Ball>(this, tableRecord_.get(), i));
        SetCandidateCount(static_cast<std::uint32_t>(candidates));
        ballCount_ = count;
        PhysicsEventQueue().clear();
        PhysicsEventQueue().reserve(candidates);
        workBuffer_.clear();
        workBuffer_.shrink_to_fit();
        hasWorkBuffer_ = false;
    }
    if (hasWorkBuffer_) return;
    workBuffer_.assign(candidates, CollisionCandidate{});
    workCount_ = 0;
    hasWorkBuffer_ = true;
}

void PhysicsModel::ResetParams() {
    PhysicsEntry entry;
    ApplyParams();
}

void PhysicsModel::ApplyParams() {
    // The block is shared and a set-up writes only some of its words: the default model's words
    // for this table go first, so what a set-up leaves alone never depends on what ran before.
    if (modelId_ != kDefaultPhysicsModelId) PutDefaultModelWords(tableType_);
    SetParams();
    SetTableParams();
    paramsSerial_ = ++setUpSerial;
    SetLastSetUpModelId(modelId_);
}

void PhysicsModel::Strike(Ball& ball, F32 aimX, F32 aimY, const ShotParams& shot) {
    PhysicsEntry entry;
    StrikeChecked(ball, aimX, aimY, shot);
}

void PhysicsModel::StrikeChecked(Ball& ball, F32 aimX, F32 aimY, const ShotParams& shot) {
    const F32 values[] = {aimX,
                          aimY,
                          shot.offsetLimitSide,
                          shot.offsetLimitVertical,
                          shot.tipOffsetSide,
                          shot.tipOffsetVertical,
                          shot.elevation,
                          shot.power,
                          shot.contactFactor,
                          shot.limitFactor,
                          shot.stiffnessFactor};
    for (F32 v : values) {
        if (!IsFinite(v)) {
            LogWrite(u"physics: strike refused: a shot parameter or the aim point is not finite\n");
            return;
        }
    }
    // Another model's set-up may have overwritten the shared block since this one's.
    if (paramsSerial_ != setUpSerial) ApplyParams();
    StrikeBody(ball, aimX, aimY, shot);
}

bool PhysicsModel::Simulate(F32 dt, std::uint32_t subSteps, F32 factor) {
    PhysicsEntry entry;
    return SimulateSteps(dt, subSteps, factor);
}

bool PhysicsModel::SimulateSteps(F32 dt, std::uint32_t subSteps, F32 factor) {
    std::vector<PhysicsEvent>& queue = PhysicsEventQueue();
    queue.clear();
    queue.reserve(CandidateCount());
    if (!IsFinite(dt) || !IsFinite(factor)) {
        LogWrite(u"physics: simulate refused: dt or factor is not finite\n");
        return true;
    }
    if (subSteps == 0) subSteps = 1;
    const F32 sub = St(FromInteger(subSteps));
    std::uint32_t n = CountOf(sub * factor, kMaxSubStepsPerCall);
    const F32 h = St(dt / sub);

    bool allRest = true;
    do {
        --n;
        // From the second sub-step on allRest is false here, so the collisions always run.
        const bool rest = MoveBalls(h);
        allRest = allRest && rest;
        if (!allRest) allRest = ResolveCollisions();
        if (turns_.Full()) turns_.Apply(h);
    } while (n != 0 && !allRest);
    turns_.Apply(h);
    return allRest;
}

bool PhysicsModel::MoveBalls(F32 h) {
    bool allRest = true;
    for (std::size_t i = balls_.size(); i-- > 0;) {
        Ball& ball = *balls_[i];
        if (ball.outOfPlay != 0) continue;
        const bool rest = MoveBall(ball, h);
        if (!rest) FinishTurn(ball, h);
        allRest = allRest && rest;
    }
    return allRest;
}

bool PhysicsModel::StepBall(Ball& ball, F32 h) {
    if (MoveBall(ball, h)) return true;
    TurnBall(ball, ball.spin, h);
    return false;
}

namespace {

// The contacts of a sub-step from the pocket zone on (FinishMove), also inline in MoveBall.
[[gnu::always_inline]] inline bool ContactsFromPocketZone(PhysicsModel& m, Ball& ball, F32 h) {
    const bool inZone = m.CollidePocketZone(ball, h);
    // A ball over a pocket hole must be able to fall: the bed landing is skipped whenever the
    // pocket-zone test handled the ball in this sub-step, and over a hole beyond `outer` (a side
    // pocket's mouth). On the open bed this changes nothing.
    if (!inZone && ball.inPocketZone == 0 && !m.IsOverPocketHole(ball)) m.LandOnBed(ball, h);
    m.CollideRails(ball, h);
    if (!inZone) m.CollideRailTop(ball, h);
    return ball.IsAtRest();
}

}  // namespace

bool PhysicsModel::MoveBall(Ball& ball, F32 h) {
    if (ball.outOfPlay != 0) return true;
    if (ball.cueTimeLeft > F32(0.0f)) ApplyCuePulse(ball, h);
    Advance(ball, h);
    return ContactsFromPocketZone(*this, ball, h);
}

void PhysicsModel::ApplyCuePulse(Ball& ball, F32 h) {
    const F32 c = h < ball.cueTimeLeft ? h : ball.cueTimeLeft;
    const F32 phase = St(((ball.cueDuration - ball.cueTimeLeft) + c * 0.5f) * ball.cueGain);
    const F32 s = SinF(phase);
    const F32 k = St(((s * c) * ball.cueGain) * 0.5f);
    const F32 tz = St(k * ball.cueLinear.z);
    const F32 ty = St(k * ball.cueLinear.y);
    const F32 tx = St(k * ball.cueLinear.x);
    ball.velocity.x = St(tx + ball.velocity.x);
    ball.velocity.y = St(ty + ball.velocity.y);
    ball.velocity.z = St(tz + ball.velocity.z);
    const F32 az = St(k * ball.cueAngular.z);
    const F32 ay = St(k * ball.cueAngular.y);
    const F32 ax = St(k * ball.cueAngular.x);
    ball.spin.x = St(ax + ball.spin.x);
    ball.spin.y = St(ay + ball.spin.y);
    ball.spin.z = St(az + ball.spin.z);
    ball.cueTimeLeft = St(ball.cueTimeLeft - h);
    if (ball.cueTimeLeft <= F32(0.0f)) {
        ball.cueTimeLeft = F32(0.0f);
        ball.cueActive = 0;
        PhysicsEvent e;
        e.type = EventType::CueContactEnd;
        e.ballId = ball.id;
        PushPhysicsEvent(e);
    }
}

bool PhysicsModel::FinishMove(Ball& ball, F32 h) {
    return ContactsFromPocketZone(*this, ball, h);
}

void PhysicsModel::CollideRailTop(Ball& ball, F32 h) {
    const TableGeometry& g = tableRecord_->geometry;
    const TableParams& p = Params().table;
    const F32 r = ball.radiusCm;
    const F32 x = ball.position.x, y = ball.position.y, z = ball.position.z;
    if (!(g.frame.xMin - r <= x && x <= r + g.frame.xMax && g.frame.yMin - r <= y && y <= r + g.frame.yMax &&
          z <= r + g.railTop))
        return;

    if (tableRecord_->hasPockets != 0) {
        bool captured = false;
        bool sideBand = false;
        const F32 mid = St((g.cushion.xMax + g.cushion.xMin) / 2.0f);
        if (mid - g.sideHoleRadius < x && mid + g.sideHoleRadius > x) {
            if (y <= g.outer.yMin) {
                captured = CollidePocket(ball, 2, h);
                sideBand = true;
            } else if (y >= g.outer.yMax) {
                captured = CollidePocket(ball, 5, h);
                sideBand = true;
            }
        }
        if (!sideBand && !(mid - g.sideHoleRadius < x && mid + g.sideHoleRadius > x)) {
            const F32 limit = St(g.cornerZone + g.cushionWidth);
            const F32 ax = St(x - g.outer.xMin);
            const F32 bx = St(g.outer.xMax - x);
            const F32 ay = St(y - g.outer.yMin);
            const F32 by = St(g.outer.yMax - y);
            if (ay + ax <= limit) captured = CollidePocket(ball, 1, h);
            if (by + ax <= limit) captured = CollidePocket(ball, 4, h);
            if (ay + bx <= limit) captured = CollidePocket(ball, 3, h);
            if (by + bx <= limit) captured = CollidePocket(ball, 6, h);
        }
        if (captured) return;
    }

    if (g.outer.xMin < x && x < g.outer.xMax && g.outer.yMin < y && y < g.outer.yMax) return;

    F32 dx(0.0f), dy(0.0f);
    if (x < g.frame.xMin) {
        dx = St(x - g.frame.xMin);
        if (!(dx < F32(0.0f))) dx = F32(0.0f);
    } else if (x > g.frame.xMax) {
        dx = St(x - g.frame.xMax);
        if (!(dx > F32(0.0f))) dx = F32(0.0f);
    }
    if (y < g.frame.yMin) {
        dy = St(y - g.frame.yMin);
        if (!(dy < F32(0.0f))) dy = F32(0.0f);
    } else if (y > g.frame.yMax) {
        dy = St(y - g.frame.yMax);
        if (!(dy > F32(0.0f))) dy = F32(0.0f);
    }
    Vector3 v = ball.velocity;

    if (!(dx * dx + dy * dy > Ext(0.0f))) {
        ApplyClothFriction(ball, h, 2);
        v = ball.velocity;
        const F32 down = St(-v.z);
        if (down > F32(0.0f)) {
            if (-(p.railTopStopRate * h) < v.z)
                v.z = F32(0.0f);
            else
                v.z = St(-(p.railTopRestitution * v.z));
            ball.position.z = St(r + g.railTop);
        }
        if (down > F32(0.04f)) {
            PhysicsEvent e;
            e.type = EventType::RailTop;
            e.ballId = ball.id;
            e.intensity = St(ball.mass * down);
            PushPhysicsEvent(e);
        }
    } else {
        const F32 dz = St(z - g.railTop);
        Vector3 d(dx, dy, dz);
        if (dz > F32(0.0f) && r * r > d.LengthSquared()) {
            Vector3 n = d;
            n.Normalize();
            const F32 vn = St(-((v.y * n.y + v.x * n.x) + v.z * n.z));
            if (vn > F32(0.0f)) {
                const F32 k = St((p.railTopRestitution + 1.0f) * vn);
                Vector3 push;
                Vec3Scale(push, n, k);
                v += push;
            }
            if (vn > F32(0.04f)) {
                PhysicsEvent e;
                e.type = EventType::RailTop;
                e.ballId = ball.id;
                e.intensity = St(ball.mass * vn);
                PushPhysicsEvent(e);
            }
        }
    }
    ball.velocity = v;
}

bool PhysicsModel::AllBallsRest() const {
    for (const auto& b : balls_) {
        if (b->cueActive != 0) return false;
        if (b->outOfPlay == 0 && !(b->velocity.IsZero() && b->spin.IsZero())) return false;
    }
    return true;
}

ModelForms PhysicsModel::Forms() const {
    return ModelForms{StrikeForm::From10000,   FrictionForm::From10000, RailForm::From10000,
                      RailZoneForm::From10000, ImpulseForm::None,       CushionImpactForm::From10000,
                      CollisionForm::From10000};
}

bool PhysicsModel::RailImpulse(Vector3&, Vector3&, Vector3&, const CushionContact&) {
    return false;
}

void PhysicsModel::SetParams() {
    PutModelWords();
}

void PhysicsModel::PutModelWords() {
    ModelParams& m = Params().model;
    Put(m.strikeSpeedScale, 9.5f);
    Put(m.ballFrictionA, 0.16f);
    Put(m.ballFrictionB, 0.24f);
    Put(m.ballCollisionC, 0.5f);
    Put(m.cueContactTime, 0.0025f);
    Put(m.tipOffsetLimit, 0.75f);
    Put(m.tipOffsetLimitTan,
        St((Ext(2.0f) - SqrtF(Opq(Ext(1.75f)))) / (m.tipOffsetLimit + m.tipOffsetLimit)));
}

void PhysicsModel::SetTableParams() {
    TableParams& t = Params().table;
    if (tableRecord_->hasPockets != 0)
        PutSet(t.frictionSets[0], 0.5f, 0.6f, 0.012f, 0.028f);
    else
        PutSet(t.frictionSets[0], 0.45f, 0.65f, 0.008f, 0.02f);
    PutSet(t.frictionSets[1], 1.0f, 0.5f, 0.2f, 0.4f);
    PutSet(t.frictionSets[2], 0.25f, 0.6f, 0.008f, 0.8f);
    Put(t.bounceFactor, 0.5f);
    Put(t.pocketZoneSpeed, 50.0f);
    Put(t.bedRestitution, 0.2f);
    Put(t.bedSettleRate, 200.0f);
    Put(t.railTopRestitution, 0.4f);
    Put(t.railTopStopRate, 40.0f);
    Put(t.railParamA, 0.3f);
    Put(t.railParamB, 0.28f);
    Put(t.pocketDropA, 2000.0f);
    Put(t.pocketFloorFriction, 0.025f);
    Put(t.pocketDropB, 0.0f);
    Put(t.cushionStiffness, 200000.0f);
    Put(t.cushionParamA, 24.0f);
    Put(t.cushionParamB, 80.0f);
    Put(t.cushionParamC, 0.05f);
    Put(t.cushionFrictionShare, 0.7f);
    Put(t.spare26, 2.0f);
    Put(t.spare31, St(tableRecord_->geometry.cushionHeight / 100.0f));
}

}  // namespace physics
