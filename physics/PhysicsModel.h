#pragma once
// The versioned ball-physics models. The base model (0x10000) is this class: it holds the table,
// the balls and the collision work buffer, and the shared per-ball step. Branch A
// (0x10001-0x1000F) and branch B (0x10010-0x10014) are one class each, whose traits pick each
// operation's form and constants by model id. Shots replay the same way later because a shot
// record names its id. docs/physics.md has the map of which id uses which form.

#include <cstdint>
#include <memory>
#include <vector>

#include "physics/Ball.h"
#include "physics/BallPairSweep.h"
#include "physics/PhysicsEntry.h"
#include "physics/PhysicsParams.h"
#include "physics/TableGeometry.h"
#include "physics/TurnBatch.h"

namespace physics {

// Which body of an operation a model uses. Each form is named after the first model id that uses
// it; None where the model never runs the operation.
enum class StrikeForm : std::uint8_t { From10000, From10001, From10005, From10008, From10010 };
enum class FrictionForm : std::uint8_t { From10000, From10005, From1000A, From10010 };
enum class RailForm : std::uint8_t { From10000, From10001, From10005, From1000D, From10010 };
enum class RailZoneForm : std::uint8_t { From10000, From10005, From1000D, From10010 };
enum class ImpulseForm : std::uint8_t { None, From10005, From1000A, From1000C, From10010 };
enum class CushionImpactForm : std::uint8_t { None, From10000, From10001 };
enum class CollisionForm : std::uint8_t { From10000, From10005, From1000C, From10010 };

// The form of every operation of one model.
struct ModelForms {
    StrikeForm strike;
    FrictionForm friction;
    RailForm rails;
    RailZoneForm railZone;
    ImpulseForm impulse;
    CushionImpactForm cushionImpact;
    CollisionForm collisions;
    bool operator==(const ModelForms&) const = default;
};

// The nine shot parameters of a strike, in the order they are passed.
struct ShotParams {
    F32 offsetLimitSide, offsetLimitVertical;
    F32 tipOffsetSide, tipOffsetVertical;
    F32 elevation;  // radians
    F32 power;
    F32 contactFactor;
    F32 limitFactor;
    F32 stiffnessFactor;
};

// One cushion contact as the rail contact hands it to the impulse operations.
struct CushionContact {
    Vector3 direction;  // unit, from the contact toward the ball centre
    F32 dirX, dirY;     // unit planar direction
    F32 horizontalLength;
    F32 force;     // per unit mass (cushion impact only)
    F32 approach;  // (cushion impact only)
    F32 offset;    // contact height relative to the centre, m
    F32 reach;
    F32 radius;
    F32 mass;
    F32 inertiaArm;
    F32 dtStep;
    const TableParams* params;
};

// Outputs of the contact geometry shared by the two rail axes of one rail contact.
struct RailZoneState {
    F32 contactHeight;
    std::uint8_t heightFlag = 0;
    std::uint8_t noseFlag = 0;
    std::uint32_t jawNumber = 0;
};

// Which cloth-friction body runs and its constants: the form of 0x10000 (with `baseVariant` for
// the base model itself, without for 0x10001-0x10004), of 0x10005 or of 0x1000A.
struct ClothFrictionForm {
    FrictionForm form = FrictionForm::From1000A;
    F32 kind0Slope;               // load slope of contact kind 0
    F32 slideShareLinear = 1.0f;  // form of 0x1000A only
    F32 slideShareSpin = 1.0f;    // form of 0x1000A only
    F32 railSpeedFactor = 2.0f;   // spin-about-z factor of a rolling ball that stops
    // Base model: a stopping ball keeps its spin-about-z amount, and the decay quotient
    // (spinF h) / r is not stored before its test and use.
    bool baseVariant = false;
};

// Collision candidate of the work buffer (20 bytes).
struct CollisionCandidate {
    std::uint16_t a, b;
    Vector3 n;
    F32 depth;
};
static_assert(sizeof(CollisionCandidate) == 20);

class PhysicsModel {
public:
    PhysicsModel(std::uint32_t tableType, std::uint16_t ballCount);
    virtual ~PhysicsModel();
    PhysicsModel(const PhysicsModel&) = delete;
    PhysicsModel& operator=(const PhysicsModel&) = delete;

    // Public entries: each runs under the physics control word.
    // Strikes `ball`; refuses (and logs) non-finite parameters or aim points.
    void Strike(Ball& ball, F32 aimX, F32 aimY, const ShotParams& shot);
    // One frame: subSteps x factor sub-steps of dt / subSteps; true when every ball rests.
    bool Simulate(F32 dt, std::uint32_t subSteps, F32 factor);
    void ResetParams();
    // Recreates the balls when the count changes (capped at kMaxBallCount).
    void SetBallCount(std::uint16_t count);

    std::uint32_t ModelId() const { return modelId_; }
    // The form of each operation this model runs.
    virtual ModelForms Forms() const;
    std::uint32_t TableType() const { return tableType_; }
    std::uint16_t BallCount() const { return ballCount_; }
    Ball& GetBall(std::size_t i) { return *balls_[i]; }
    const Ball& GetBall(std::size_t i) const { return *balls_[i]; }
    TableRecord& Table() { return *tableRecord_; }
    const TableRecord& Table() const { return *tableRecord_; }
    const TableGeometry& Geometry() const { return tableRecord_->geometry; }

    // Set by the factory.
    void SetModelId(std::uint32_t id) { modelId_ = id; }
    void SetTableType(std::uint32_t type) { tableType_ = type; }

    // The model words the base model's set-up writes; branches A and B write theirs over them.
    static void PutModelWords();

    // Shared operations of every id (public for the tests).
    // One sub-step of one ball: its motion and then the turn of its orientation.
    bool StepBall(Ball& ball, F32 h);
    // The motion part of StepBall; true when the ball rests. A ball that does not rest still
    // has the turn by its spin over h to take (TurnBall, TurnBatch.h).
    bool MoveBall(Ball& ball, F32 h);
    void CollideRailTop(Ball& ball, F32 h);
    bool CollidePocketZone(Ball& ball, F32 h);
    bool CollidePocket(Ball& ball, std::uint8_t pocket, F32 h);
    bool LandOnBed(Ball& ball, F32 dt);
    void DropIntoPocket(Ball& ball, std::uint8_t pocket, F32 dt);
    // True on a pocket table when the ball centre lies over a pocket hole (inside or beyond
    // `outer`): there is no bed under it.
    bool IsOverPocketHole(const Ball& ball) const;

    // Slots 0 to 7.
    virtual void StrikeBody(Ball& ball, F32 aimX, F32 aimY, ShotParams shot);
    virtual void SetParams();
    virtual void SetTableParams();
    virtual void ApplyClothFriction(Ball& ball, F32 h, std::uint32_t kind);
    virtual void ResolveCushionImpact(Vector3& v, Vector3& w, const CushionContact& c);
    virtual void CollideRails(Ball& ball, F32 dt);
    // normal: unit rail normal times the distance d, z the vertical distance.
    virtual bool CollideRailZone(Vector3& position, const Vector3& velocity, F32 radiusCm, Vector3& normal,
                                 RailZoneState& state, std::uint8_t railMask);
    virtual bool ResolveCollisions();
    // The impulse of one cushion contact (branches A from 0x10005 and B).
    virtual bool RailImpulse(Vector3& v, Vector3& w, Vector3& railVector, const CushionContact& c);

protected:
    // The rail contact of branch A from 0x10005 and of branch B (one body, three forms).
    void CollideRailsShared(Ball& ball, F32 dt, RailForm form);
    // The contact geometry of every model (one body, four forms).
    bool CollideRailZoneShared(const Vector3& position, F32 radiusCm, Vector3& normal, RailZoneState& state,
                               std::uint8_t railMask, RailZoneForm form);
    // One sub-step of every ball in play, from the last ball down to ball 0 (the order of their
    // events), recording the turn of each ball that moves; true when every ball rests.
    virtual bool MoveBalls(F32 h);
    // MoveBall in parts: the cue pulse (when time of it is left), the position and gravity step,
    // and the contacts from the pocket zone on, which return whether the ball rests.
    void ApplyCuePulse(Ball& ball, F32 h);
    static void Advance(Ball& ball, F32 h) {
        const F32 hc = St(h * 100.0f);
        const F32 dz = St(hc * ball.velocity.z);
        const F32 dy = St(hc * ball.velocity.y);
        const F32 dx = St(hc * ball.velocity.x);
        ball.position.x = St(dx + ball.position.x);
        ball.position.y = St(dy + ball.position.y);
        ball.position.z = St(dz + ball.position.z);
        ball.velocity.z = St(ball.velocity.z - h * 9.8f);
    }
    bool FinishMove(Ball& ball, F32 h);
    // Records the turn of a ball that moved in this sub-step (in the order of MoveBalls).
    void QueueTurn(Ball& ball) { turns_.Record(ball); }
    // The turn of a ball that moved in this sub-step: recorded, or at once in the reference build.
    void FinishTurn(Ball& ball, F32 h) {
        if constexpr (kFastPaths)
            QueueTurn(ball);
        else
            TurnBall(ball, ball.spin, h);
    }
    // True when every ball is out of play or still, and no cue contact is pending.
    bool AllBallsRest() const;
    // The cloth friction of the base model and of branch A (see ClothFrictionForm).
    void ApplyClothFrictionShared(Ball& ball, F32 h, std::uint32_t kind, const ClothFrictionForm& form);
    // The rail contact of 0x10001-0x10004; its response is the virtual
    // ResolveCushionImpact.
    void CollideRails10001(Ball& ball, F32 dt);
    // Candidate pairs of the ball collisions (shared by every collision body): fills the work
    // buffer, pushes the contact events and refreshes the touch flags (the base body does not).
    // Ball 0's size is used. From BallPairSweep::kMinBalls balls on, a sweep picks the pairs to
    // test; `EveryPair` tests all of them in order, which the sweep reproduces.
    enum class PairSearch : std::uint8_t { Sweep, EveryPair };
    void GatherCollisionCandidates(bool refreshTouchFlags = true, PairSearch search = PairSearch::Sweep);

    std::unique_ptr<TableRecord> tableRecord_;
    std::vector<std::shared_ptr<Ball>> balls_;
    std::vector<CollisionCandidate> workBuffer_;
    std::uint32_t workCount_ = 0;
    std::uint16_t ballCount_ = 0;
    std::uint32_t tableType_;
    std::uint32_t modelId_ = kFirstModelId;

private:
    PHYSICS_BEHIND_ENTRY void StrikeChecked(Ball& ball, F32 aimX, F32 aimY, const ShotParams& shot);
    PHYSICS_BEHIND_ENTRY bool SimulateSteps(F32 dt, std::uint32_t subSteps, F32 factor);
    PHYSICS_BEHIND_ENTRY void ApplyParams();
    PHYSICS_BEHIND_ENTRY void RebuildBalls(std::uint16_t count);

    TurnBatch turns_;
    bool hasWorkBuffer_ = false;
    std::uint64_t paramsSerial_ = 0;
    BallPairSweep pairSweep_;
};

// The sub-step length that Simulate uses: (f32)(dt / subSteps), subSteps 0 read as 1.
F32 SubStepLength(F32 dt, std::uint32_t subSteps);

// The parameter block was last written by the set-up with this serial.
std::uint64_t ParamsSetUpSerial();

}  // namespace physics
