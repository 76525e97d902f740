#pragma once
// The rules controller of one table: it owns the physics model of the game type, racks the balls,
// strikes the cue ball, steps the physics once per update tick while a shot runs and judges the
// shot when every ball rests. The table world calls it on the update thread (frame steps) and
// on the dispatch and main threads (set-up, result). Members that change or compute state take
// the controller's lock; readers that hand out a reference or a ball do not, so a caller that
// uses those across threads holds GetLock() around them (the lock is re-entrant).

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/Lcg.h"
#include "physics/PhysicsModel.h"
#include "platform/sys/CriticalSection.h"
#include "table/GameTypes.h"
#include "table/ShotJudge.h"
#include "table/TableConstants.h"

namespace table {

// The arguments of TableRules::Strike, in the order the world hands them over.
struct StrikeArgs {
    physics::F32 maxPower = physics::F32(0.8f);
    physics::F32 power = physics::F32(0.8f);
    physics::F32 contactFactor;
    physics::F32 aimX, aimY;  // the point on the table (cm) the cue points at
    physics::F32 offsetLimitSide, offsetLimitVertical;
    physics::F32 tipOffsetSide, tipOffsetVertical;
    physics::F32 elevationDegrees;
    physics::F32 limitFactor = physics::F32(1.0f);
    physics::F32 stiffnessFactor;
    // Offset reduction by the cue tip (ReduceOffsetPair); a = 0 leaves the offsets as they are.
    physics::F32 reductionA, reductionB;
};

// A sound the world is asked to play (volume 0..1).
struct SoundRequest {
    int id;
    float volume;
};

// One ball's state as a snapshot keeps it.
struct BallState {
    physics::Vector3 position;
    physics::Quaternion orientation;
    std::uint8_t outOfPlay = 0;
};

class TableRules {
public:
    TableRules();
    ~TableRules();
    TableRules(const TableRules&) = delete;
    TableRules& operator=(const TableRules&) = delete;

    // The controller's lock (re-entrant). Lock order: the world's own lock before this one.
    platform::CriticalSection& GetLock() const { return lock_; }

    // Set-up --------------------------------------------------------------------------------
    // Selects the game type and with it the default table kind and ball kind; with a model the
    // ball count changes (PhysicsModel::SetBallCount) and the balls get their sizes again. The
    // type the model already has changes nothing. An invalid type is refused (false, logged).
    bool SetGameType(int gameType);
    int GameType() const { return gameType_; }
    const GameTypeInfo& Info() const { return GameTypeOf(gameType_); }
    // Overrides the table kind (physics table type 0..11) of the world's table item; takes effect
    // at the next CreateModel. Refused (false) outside 0..11.
    bool SetTableKind(std::uint32_t tableKind);
    std::uint32_t TableKind() const { return tableKind_; }
    // Overrides the ball kind of the world's ball set; sets the sizes of the balls at once.
    void SetBallKind(BallKind kind);
    BallKind GetBallKind() const { return ballKind_; }
    // Creates the physics model (useCache = !noCache), falling back to kDefaultModelId when the id
    // has no model; sets up the balls (sizes, table geometry, ResetParams). False only when even
    // the fallback fails (the previous model is kept then).
    bool CreateModel(std::uint32_t modelId, bool noCache);
    physics::PhysicsModel* Model() { return model_.get(); }
    const physics::PhysicsModel* Model() const { return model_.get(); }
    std::uint16_t BallCount() const;
    // Ball i of the model (i < BallCount(), a model must exist).
    physics::Ball& GetBall(std::size_t i) { return model_->GetBall(i); }
    const physics::Ball& GetBall(std::size_t i) const { return model_->GetBall(i); }
    // True when ball `index` set at (x, y) would touch no other ball in play.
    bool IsSpotFree(std::size_t index, float x, float y) const;
    // Sets ball `index` at rest at (x, y) on the bed, or at the nearest point across the table from it
    // (steps of 2.2 radii either way) that lies inside the cushions and is free; false when none is.
    bool PlaceNearSpot(std::size_t index, float x, float y);

    // Racking --------------------------------------------------------------------------------
    // Seeds the controller's generator (racking order and ball orientations).
    void SeedRandom(std::uint32_t seed);
    std::uint32_t NextRandom() { return random_.Next(); }
    // Places every ball of the game type's rack, puts all balls back in play, stops them and
    // gives each an orientation seeded from the generator.
    void RackBalls();
    // Re-racks when the table needs it: 14-1 with fewer than two object balls in play racks the
    // others and keeps the cue ball and the last ball; 8-ball and 9-ball with no object ball in
    // play re-rack in play states 4 and 5 or when forced. A re-rack seeds the generator with `seed`.
    // True (and sound 27 requested) when it re-racked.
    bool Rerack(std::uint32_t seed, bool force, int playState);
    // Copies every ball's position, orientation and out-of-play byte; RestoreSnapshot puts them
    // back (stopped). HasSnapshot is false before the first copy.
    void SnapshotBalls();
    bool RestoreSnapshot();
    bool HasSnapshot() const { return !snapshot_.empty(); }
    const std::vector<BallState>& Snapshot() const { return snapshot_; }

    // The shot --------------------------------------------------------------------------------
    // Strikes `cueBall` (converted elevation, reduced offsets, PhysicsModel::Strike) and starts
    // the shot. The miscue sounds come from this strike's own events only. False without a model
    // or for a ball index outside the model (nothing changes then).
    bool Strike(const StrikeArgs& args, std::uint16_t cueBall);
    // One update tick of a running shot: Simulate(0.005, SubStepsOf(gameType), 1.0), the events
    // of the call read, pocket entries of pocket games refreshed. True when the shot ended in
    // this call (every ball rests, or kMaxShotCalls reached): the shot is judged then. A call that
    // leaves a ball's position, velocity or spin no finite number ends the shot at once: every ball
    // goes back where the strike found it and the shot is judged as one that touched nothing.
    bool FrameStep();
    // Stops a running shot and every ball without judging it.
    void StopShot();
    bool ShotRunning() const { return shotRunning_; }
    // Simulation calls of the current (or last) shot.
    std::uint32_t ShotCalls() const { return shotCalls_; }
    std::uint16_t CueBall() const { return cueBall_; }
    // Events of the last simulation call, and of the last strike.
    const std::vector<physics::PhysicsEvent>& LastEvents() const { return lastEvents_; }
    const std::vector<physics::PhysicsEvent>& StrikeEvents() const { return strikeEvents_; }
    // The pocket (1..6) ball i heads into at the last frame step of a pocket game, 0 for none.
    std::uint8_t PocketEntry(std::size_t i) const { return i < pocketEntry_.size() ? pocketEntry_[i] : 0; }

    // Slow motion: the world's share of one simulation call per tick (1.0, 0.5, 0.25). The
    // physics factor stays 1.0, so every speed ends a shot in the same place; FrameStepsDue
    // answers how many frame steps this tick should run (0 or 1 below 1.0).
    void SetSpeedFactor(float factor);
    float SpeedFactor() const { return speedFactor_; }
    int FrameStepsDue();

    // Result --------------------------------------------------------------------------------
    // The last shot's result: count = value mod 1000; the thousands digit (at most 3) is kept only
    // when the count is 4 or more. Negative codes (fouls, -3 time-out) come back as they are.
    int GetShotResultCode() const;
    int RawShotResultCode() const { return verdict_.code; }
    // Stores a code from outside (the server's time-out -3, a replay); with clearLists the two
    // per-shot ball lists are emptied.
    void SetShotResultCode(int code, bool clearLists);
    // Stores the balls a shot pocketed from outside (tests of what reads the result).
    void SetFirstBallList(std::vector<std::uint8_t> balls);
    // Balls pocketed by the last shot (the first per-shot list).
    std::uint8_t FirstBallListCount() const;
    const std::vector<std::uint8_t>& FirstBallList() const { return verdict_.pocketed; }
    const std::vector<std::uint8_t>& SecondBallList() const { return verdict_.touched; }
    std::uint8_t RuleValue() const { return verdict_.ruleValue; }
    // The shooter's team status of pocket games (8-ball: 2 solids, 3 stripes, 4 on the 8).
    void SetTeamStatus(std::uint8_t status) { teamStatus_ = status; }
    std::uint8_t TeamStatus() const { return teamStatus_; }
    // Whether the result animation (sound 20) plays after a turn result: 1 when the shooter stays
    // at the table (result kind 2) with a high run of at least 3 points, else 0.
    int PickResultSound(int highRunPoints, int resultKind, int resultCode) const;

    // Sounds asked for since the last call (miscue, re-rack), oldest first.
    std::vector<SoundRequest> TakeSoundRequests();

private:
    void SetUpBalls();
    void EndShot();
    // Carom: sets every ball that jumped off the table back on it.
    void SpotJumpedCaromBalls();

    mutable platform::CriticalSection lock_;
    int gameType_ = game::kFourBall;
    std::uint32_t tableKind_ = 0;
    BallKind ballKind_ = BallKind::Carom;
    std::shared_ptr<physics::PhysicsModel> model_;
    Lcg random_;
    std::vector<BallState> snapshot_;
    std::vector<BallState> shotStart_;  // the balls as the last strike found them
    bool shotRunning_ = false;
    std::uint32_t shotCalls_ = 0;
    std::uint16_t cueBall_ = 0;
    std::vector<physics::PhysicsEvent> lastEvents_;
    std::vector<physics::PhysicsEvent> strikeEvents_;
    std::vector<std::uint8_t> pocketEntry_;
    float speedFactor_ = 1.0f;
    float speedCredit_ = 0.0f;
    ShotJudge judge_;
    ShotVerdict verdict_;
    std::uint8_t teamStatus_ = 0;
    std::vector<SoundRequest> sounds_;
};

}  // namespace table
