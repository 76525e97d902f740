// The world's shots: the aim turned into shot words, the strike, the physics every update tick,
// the end of a shot, the shot-state block and shot records.
#include <algorithm>

#include "engine/core/Log.h"
#include "platform/sys/Journal.h"
#include "table/ShotJournal.h"
#include "table/TableWorld.h"

namespace table {

namespace {

// The spread of the tip offset drawn on the shooter's client, at most this much per axis.
constexpr float kTipSpread = 0.01f;

float SpreadOf(Lcg& random) {
    return (static_cast<float>(random.Next() >> 16 & 0x7FFF) / 32767.0f * 2.0f - 1.0f) * kTipSpread;
}

StrikeArgs StrikeArgsOf(const ShotWords& w) {
    using physics::F32;
    StrikeArgs a;
    a.maxPower = F32(w.maxPower);
    a.power = F32(w.power);
    a.contactFactor = F32(w.contactFactor);
    a.aimX = F32(w.aimX);
    a.aimY = F32(w.aimY);
    a.offsetLimitSide = F32(w.offsetLimitSide);
    a.offsetLimitVertical = F32(w.offsetLimitVertical);
    a.tipOffsetSide = F32(w.tipOffsetSide);
    a.tipOffsetVertical = F32(w.tipOffsetVertical);
    a.elevationDegrees = F32(w.elevationDegrees);
    a.limitFactor = F32(w.limitFactor);
    a.stiffnessFactor = F32(w.stiffnessFactor);
    a.reductionA = F32(w.reductionA);
    a.reductionB = F32(w.reductionB);
    return a;
}

// A ball put back where a stored shot had it, at rest.
void PlaceStoredBall(physics::Ball& b, const std::array<float, 3>& p, const std::array<float, 4>& q,
                     std::uint8_t outOfPlay) {
    using physics::F32;
    b.position = {F32(p[0]), F32(p[1]), F32(p[2])};
    b.orientation = {F32(q[0]), F32(q[1]), F32(q[2]), F32(q[3])};
    b.outOfPlay = outOfPlay;
    b.ResetMotion();
}

}  // namespace

void TableWorld::MakeDefaultShot() {
    platform::ScopedLock guard(lock_);
    ShotWords words;
    const physics::Vector3 cue = CueBallPosition();
    aim_.AimPoint(cue.x.Value(), cue.y.Value(), words.aimX, words.aimY);
    shot_.words = words;
    shot_.currentBall = static_cast<std::uint8_t>(currentBall_);
}

ShotWords TableWorld::ShotFromAim() {
    platform::ScopedLock guard(lock_);
    Lcg random;
    random.Seed(shotSeed_);
    ShotWords w;
    w.maxPower = 1.0f;
    w.power = aim_.Power();
    const physics::Vector3 cue = CueBallPosition();
    aim_.AimPoint(cue.x.Value(), cue.y.Value(), w.aimX, w.aimY);
    const float side = std::clamp(aim_.TipSide() + SpreadOf(random), -kMaxTipOffset, kMaxTipOffset);
    const float vertical = std::clamp(aim_.TipVertical() + SpreadOf(random), -kMaxTipOffset, kMaxTipOffset);
    w.offsetLimitSide = w.tipOffsetSide = side;
    w.offsetLimitVertical = w.tipOffsetVertical = vertical;
    w.elevationDegrees = aim_.ElevationDegrees();
    w.chalk = chalkValue;
    return w;
}

bool TableWorld::StrikeFromAim() {
    platform::ScopedLock guard(lock_);
    // No strike while the left button carries a ball.
    if (shotExecuting_ || shotStartPending_ || !ownTurn_ || !rules_.Model() || carriedBall_ != kNoPlacedBall)
        return false;
    if (BallOutOfPlay(static_cast<std::size_t>(currentBall_))) return false;
    ++shotSeed_;
    ShotMessage shot;
    shot.currentBall = static_cast<std::uint8_t>(currentBall_);
    shot.shooterSeat = static_cast<std::uint8_t>(currentPlayer_);
    shot.words = ShotFromAim();
    shot.aimPointX = shot.words.aimX;
    shot.aimPointY = shot.words.aimY;
    if (shooter_) {
        shot.cueItem = shooter_->item;
        for (std::size_t i = 0; i < shot.cueParts.size(); ++i)
            shot.cueParts[i] = static_cast<std::uint16_t>(std::max(0, shooter_->parts[i]));
    }
    shot.chalkUsed = chalkValue > 0 ? 1 : 0;
    shot.shotSeed = shotSeed_;
    shot_ = shot;
    ballInHandMode = 0;
    placedBall_ = kNoPlacedBall;
    if (shotSender_) {
        // Online the server relays the shot to every client of the room, this one included.
        shotStartPending_ = true;
        shotSender_(shot);
        return true;
    }
    return ExecuteShot(ShotMode::Local, true);
}

bool TableWorld::ExecuteShot(ShotMode mode, bool ownCue) {
    platform::ScopedLock guard(lock_);
    if (shotExecuting_ || !rules_.Model()) return false;
    const std::size_t cueBall = shot_.currentBall;
    if (cueBall >= BallCount() || rules_.GetBall(cueBall).outOfPlay) return false;
    shotStartPending_ = false;
    DropCarry();
    currentBall_ = static_cast<std::int32_t>(cueBall);
    StoreShotState();
    for (auto& trail : trails_) trail.clear();
    trailTick_ = 0;
    {
        platform::ScopedLock rulesGuard(rules_.GetLock());
        if (!rules_.Strike(StrikeArgsOf(shot_.words), static_cast<std::uint16_t>(cueBall))) return false;
    }
    for (const SoundRequest& sound : rules_.TakeSoundRequests())
        if (soundSink_) soundSink_(sound.id, sound.volume);
    shotExecuting_ = true;
    ownCueStruck_ = ownCue;
    lastChalkUsed = shot_.chalkUsed;
    const physics::Vector3 p = CueBallPosition();
    camera_.OnShotStarted({p.x.Value(), p.y.Value(), p.z.Value()});
    if (ownCue && mode != ShotMode::Replay) {
        const auto power100 = static_cast<std::uint32_t>(std::max(0.0f, shot_.words.power) * 100.0f);
        Post(WorldMessage::CueStruck, power100, shot_.chalkUsed);
    }
    aim_.SetPower(0);
    return true;
}

void TableWorld::StopShotInProgress() {
    platform::ScopedLock guard(lock_);
    shotStartPending_ = false;
    if (!shotExecuting_) return;
    {
        platform::ScopedLock rulesGuard(rules_.GetLock());
        rules_.StopShot();
    }
    // A stopped shot never reports rest: its 1112 is not posted.
    shotExecuting_ = false;
}

void TableWorld::Update(std::uint32_t tick, int mouseDx, int mouseDy, bool paused) {
    (void)tick;
    platform::ScopedLock guard(lock_);
    ControlRequests requests;
    const AimState before = aim_;
    // Held keys act on the own aim only while it is in play (an onlooker's arrows turn no cue).
    if (!paused) controls_.Tick(aim_, requests);
    KeepAimUnlessInPlay(before, requests);
    // The window messages drive the aim and the camera; the raw mouse sums are not needed here.
    (void)mouseDx;
    (void)mouseDy;
    ApplyRequests(requests, aim_.YawDegrees() - before.YawDegrees());

    if (shotExecuting_ && !paused) {
        bool ended = false;
        {
            platform::ScopedLock rulesGuard(rules_.GetLock());
            for (int n = rules_.FrameStepsDue(); n > 0 && !ended; --n) ended = rules_.FrameStep();
        }
        for (const SoundRequest& sound : rules_.TakeSoundRequests())
            if (soundSink_) soundSink_(sound.id, sound.volume);
        RecordTrails();
        if (ended)
            EndShot();
        else
            Post(WorldMessage::ShotRunning);
    }
    const physics::Vector3 p = CueBallPosition();
    camera_.Tick({p.x.Value(), p.y.Value(), p.z.Value()}, aim_.YawDegrees(), shotExecuting_);
    wheelHeld_ = wheelHeld_ && camera_.Moving();
    if (!shotExecuting_) ++ticksSinceAimSent_;
}

void TableWorld::RecordTrails() {
    if (++trailTick_ % kTrailTickInterval != 0) return;
    const std::size_t count =
        options_.traceAll ? BallCount() : std::min<std::size_t>(BallCount(), currentBall_ + 1);
    for (std::size_t i = options_.traceAll ? 0 : static_cast<std::size_t>(currentBall_); i < count; ++i) {
        const physics::Ball& b = rules_.GetBall(i);
        if (b.outOfPlay) continue;
        auto& trail = trails_[i];
        const Vector3f point{b.position.x.Value(), b.position.y.Value(), b.position.z.Value()};
        if (!trail.empty() && Length(trail.back() - point) < 0.05f) continue;
        if (trail.size() >= kTrailPoints) trail.erase(trail.begin());
        trail.push_back(point);
    }
}

std::string TableWorld::RecordHexOfLastShot() const {
    return ShotRecordToHex(MakeShotRecord());
}

void TableWorld::EndShot() {
    shotExecuting_ = false;
    lastShotCalls_ = rules_.ShotCalls();
    lastShotHash_ = HashBallsAtRest(*rules_.Model(), BallCount());
    ++shotsAtRest_;
    lastJournalLine_ = ShotJournalLine(gameType_, lastShotCalls_, lastShotHash_, RecordHexOfLastShot());
    platform::Journal::Write(lastJournalLine_);
    if (playState_ != PlayState::MiniView) Post(WorldMessage::ShotAtRest);
    UpdateAimObjects();
}

int TableWorld::GetShotResultCode() const {
    platform::ScopedLock guard(lock_);
    return rules_.GetShotResultCode();
}

void TableWorld::StoreShotState() {
    ShotState s;
    s.present = true;
    s.gameType = static_cast<std::uint8_t>(gameType_);
    s.currentBall = shot_.currentBall;
    s.shooterSeat = shot_.shooterSeat;
    s.tableItem = tableItem_;
    s.ballSetItem = ballSetItem_;
    s.cueItem = shot_.cueItem;
    s.cueParts = shot_.cueParts;
    s.chalkUsed = shot_.chalkUsed;
    s.ballCount = static_cast<std::uint8_t>(std::min<std::uint16_t>(BallCount(), kMaxBalls));
    s.physicsModelId = modelId_;
    s.shotSeed = shot_.shotSeed;
    s.words = shot_.words;
    for (std::size_t i = 0; i < s.ballCount; ++i) {
        const physics::Ball& b = rules_.GetBall(i);
        s.positions[i] = {b.position.x.Value(), b.position.y.Value(), b.position.z.Value()};
        s.orientations[i] = {b.orientation.x.Value(), b.orientation.y.Value(), b.orientation.z.Value(),
                             b.orientation.w.Value()};
        s.outOfPlay[i] = b.outOfPlay;
    }
    shotStateBlock_ = PackShotState(s);
}

bool TableWorld::RestoreShotState(const ShotStateBlock& block) {
    platform::ScopedLock guard(lock_);
    ShotState s;
    if (shotExecuting_ || !UnpackShotState(block, s) || s.ballCount != GameTypeOf(s.gameType).ballCount ||
        s.currentBall >= s.ballCount)
        return false;
    if (s.gameType != gameType_ && !SetGameType(s.gameType)) return false;
    if (s.ballCount != BallCount()) return false;
    tableItem_ = s.tableItem;
    ballSetItem_ = s.ballSetItem;
    ApplyItems();
    for (std::size_t i = 0; i < s.ballCount; ++i)
        PlaceStoredBall(rules_.GetBall(i), s.positions[i], s.orientations[i], s.outOfPlay[i]);
    shot_.currentBall = s.currentBall;
    shot_.shooterSeat = s.shooterSeat;
    shot_.words = s.words;
    shot_.cueItem = s.cueItem;
    shot_.cueParts = s.cueParts;
    shot_.chalkUsed = s.chalkUsed;
    shot_.shotSeed = s.shotSeed;
    currentBall_ = s.currentBall;
    shotStateBlock_ = block;
    // The balls are back where the shot started: the lines they drew belong to a shot undone.
    for (auto& trail : trails_) trail.clear();
    return true;
}

bool TableWorld::CopyLastShotState(ShotStateBlock& out) const {
    platform::ScopedLock guard(lock_);
    if (shotStateBlock_[0] == 0) return false;
    out = shotStateBlock_;
    return true;
}

void TableWorld::ResetBallsToShotState() {
    platform::ScopedLock guard(lock_);
    if (shotStateBlock_[0] == 0) return;
    const ShotStateBlock block = shotStateBlock_;
    if (!RestoreShotState(block)) return;
    // The shot set up again is played from where it started: a ball in hand since then is set down.
    ClearBallInHand();
    if (!camera_.InTopView()) camera_.MoveCamera(kFollowSeconds, kResetCameraDistance, kKeepValue);
}

ShotRecord TableWorld::MakeShotRecord() const {
    platform::ScopedLock guard(lock_);
    ShotRecord r;
    ShotState s;
    if (!UnpackShotState(shotStateBlock_, s)) return r;
    r.clientBuild = clientBuild_;
    r.physicsModelId = s.physicsModelId;
    r.gameType = s.gameType;
    r.tableItem = s.tableItem;
    r.cueItem = s.cueItem;
    r.cuePartItems = s.cueParts;
    r.cuePartLevels = s.partLevels;
    r.ballSetItem = s.ballSetItem;
    r.byteBeforeBallCount = s.currentBall;
    r.ballCount = s.ballCount;
    r.positions = s.positions;
    r.orientations = s.orientations;
    r.ballBytes = s.outOfPlay;
    const auto words = s.words.ToArray();
    std::copy(words.begin(), words.end(), r.shotParams.begin());
    return r;
}

bool TableWorld::ApplyShotRecord(const ShotRecord& record) {
    platform::ScopedLock guard(lock_);
    if (shotExecuting_) return false;
    if (const WString problem = ShotRecordProblem(record); !problem.empty()) {
        LogWrite(u"ERROR : the shot record cannot be played: %s\n", problem);
        return false;
    }
    const ShotWords words = record.Words();
    if (!SetGameType(record.gameType)) return false;
    tableItem_ = record.tableItem;
    ballSetItem_ = record.ballSetItem;
    ApplyItems();
    if (!SetPhysicsModel(record.physicsModelId, noCache_) || BallCount() != record.ballCount) return false;
    for (std::size_t i = 0; i < record.ballCount; ++i)
        PlaceStoredBall(rules_.GetBall(i), record.positions[i], record.orientations[i],
                        record.HasBallBytes() ? record.ballBytes[i] : 0);
    shot_ = ShotMessage{};
    shot_.currentBall = record.byteBeforeBallCount;
    shot_.words = words;
    shot_.aimPointX = words.aimX;
    shot_.aimPointY = words.aimY;
    shot_.cueItem = record.cueItem;
    shot_.cueParts = record.cuePartItems;
    currentBall_ = record.byteBeforeBallCount;
    for (auto& trail : trails_) trail.clear();
    return true;
}

}  // namespace table
