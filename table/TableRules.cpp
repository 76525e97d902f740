#include "table/TableRules.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Log.h"
#include "physics/PhysicsFactory.h"
#include "table/RackLayout.h"
#include "table/StrikeArithmetic.h"

namespace table {

using physics::F32;

namespace {

constexpr std::uint32_t kTableKindCount = 12;
// A pocket game's object balls are 1 .. ballCount - 1.
std::uint16_t ObjectBallsInPlay(const physics::PhysicsModel& model) {
    std::uint16_t count = 0;
    for (std::size_t i = 1; i < model.BallCount(); ++i)
        if (model.GetBall(i).outOfPlay == 0) ++count;
    return count;
}

void PlaceStopped(physics::Ball& ball, const physics::Vector3& position) {
    ball.position = position;
    ball.outOfPlay = 0;
    ball.cueActive = 0;
    ball.ResetMotion();
}

// Whether every ball's position, velocity and spin is a finite number.
bool BallsFinite(const physics::PhysicsModel& model) {
    const auto finite = [](const physics::Vector3& v) {
        return physics::IsFinite(v.x) && physics::IsFinite(v.y) && physics::IsFinite(v.z);
    };
    for (std::size_t i = 0; i < model.BallCount(); ++i) {
        const physics::Ball& b = model.GetBall(i);
        if (!finite(b.position) || !finite(b.velocity) || !finite(b.spin)) return false;
    }
    return true;
}

float Clamp01(float v) {
    return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f;
}

}  // namespace

TableRules::TableRules() {
    SetGameType(game::kFourBall);
}
TableRules::~TableRules() = default;

bool TableRules::SetGameType(int gameType) {
    if (!IsValidGameType(gameType)) {
        LogWrite(u"table: game type %d refused (0 to 16)\n", gameType);
        return false;
    }
    platform::ScopedLock guard(lock_);
    // The same type again keeps the table and ball kinds the world's items chose.
    if (gameType == gameType_ && model_) return true;
    const GameTypeInfo& info = GameTypeOf(gameType);
    gameType_ = gameType;
    tableKind_ = info.tableKind;
    ballKind_ = info.ballKind;
    if (model_) {
        model_->SetBallCount(info.ballCount);
        SetUpBalls();
    }
    return true;
}

bool TableRules::SetTableKind(std::uint32_t tableKind) {
    if (tableKind >= kTableKindCount) {
        LogWrite(u"table: table kind %u refused (0 to 11)\n", tableKind);
        return false;
    }
    platform::ScopedLock guard(lock_);
    tableKind_ = tableKind;
    return true;
}

void TableRules::SetBallKind(BallKind kind) {
    platform::ScopedLock guard(lock_);
    ballKind_ = kind;
    if (model_) SetUpBalls();
}

bool TableRules::CreateModel(std::uint32_t modelId, bool noCache) {
    platform::ScopedLock guard(lock_);
    const std::uint16_t count = Info().ballCount;
    std::shared_ptr<physics::PhysicsModel> model =
        physics::CreatePhysicsModel(modelId, tableKind_, count, !noCache);
    if (!model) {
        LogWrite(u"table: physics model 0x%X unavailable, using 0x%X\n", modelId, kDefaultModelId);
        model = physics::CreatePhysicsModel(kDefaultModelId, tableKind_, count, !noCache);
    }
    if (!model) return false;
    model_ = std::move(model);
    shotRunning_ = false;
    SetUpBalls();
    return true;
}

std::uint16_t TableRules::BallCount() const {
    return model_ ? model_->BallCount() : 0;
}

void TableRules::SetUpBalls() {
    const BallKindSpec& kind = BallKindOf(ballKind_);
    for (std::size_t i = 0; i < model_->BallCount(); ++i)
        model_->GetBall(i).SetSize(kind.radiusCm, kind.massKg);
    physics::TableGeometry geometry{};
    const std::uint8_t hasPockets = physics::BuildTableGeometry(tableKind_, geometry);
    model_->Table().geometry = geometry;
    model_->Table().hasPockets = hasPockets;
    model_->ResetParams();
    pocketEntry_.assign(model_->BallCount(), 0);
}

void TableRules::SeedRandom(std::uint32_t seed) {
    platform::ScopedLock guard(lock_);
    random_.Seed(seed);
}

void TableRules::RackBalls() {
    platform::ScopedLock guard(lock_);
    if (!model_) return;
    const GameTypeInfo& info = Info();
    const F32 radius = BallKindOf(ballKind_).radiusCm;
    const std::vector<physics::Vector3> positions =
        RackPositions(info.rack, gameType_, model_->BallCount(), model_->Geometry(), radius, random_);
    shotRunning_ = false;
    for (std::size_t i = 0; i < model_->BallCount(); ++i) {
        physics::Ball& ball = model_->GetBall(i);
        PlaceStopped(ball, positions[i]);
        ball.RandomizeOrientation(random_.Next());
    }
    std::fill(pocketEntry_.begin(), pocketEntry_.end(), 0);
}

bool TableRules::Rerack(std::uint32_t seed, bool force, int playState) {
    platform::ScopedLock guard(lock_);
    if (!model_ || shotRunning_) return false;
    const std::uint16_t inPlay = ObjectBallsInPlay(*model_);
    if (gameType_ == game::kStraightPool) {
        if (inPlay >= 2) return false;
        random_.Seed(seed);
        // The pocketed balls fill the triangle behind its empty apex; a kept ball in the way goes
        // to the head spot (the last object ball) or beside it (the cue ball).
        const F32 radius = BallKindOf(ballKind_).radiusCm;
        const std::vector<physics::Vector3> slots = TriangleSlots(model_->Geometry(), radius);
        const physics::Vector3 head = HeadSpot(model_->Geometry(), radius);
        std::vector<std::uint16_t> refill;
        for (std::uint16_t i = 1; i < model_->BallCount(); ++i)
            if (model_->GetBall(i).outOfPlay != 0) refill.push_back(i);
        // With no object ball left the apex is filled too.
        const std::size_t first = refill.size() >= slots.size() ? 0 : 1;
        std::vector<bool> placed(model_->BallCount(), false);
        for (std::size_t k = 0; k < refill.size() && first + k < slots.size(); ++k) {
            physics::Ball& ball = model_->GetBall(refill[k]);
            PlaceStopped(ball, slots[first + k]);
            ball.RandomizeOrientation(random_.Next());
            placed[refill[k]] = true;
        }
        const double reach = 2.0 * radius.Value() + kRackGap;
        auto inRack = [&](const physics::Ball& ball) {
            return std::any_of(slots.begin(), slots.end(), [&](const physics::Vector3& s) {
                const double dx = double{s.x.Value()} - ball.position.x.Value();
                const double dy = double{s.y.Value()} - ball.position.y.Value();
                return dx * dx + dy * dy < reach * reach;
            });
        };
        for (std::uint16_t i = 0; i < model_->BallCount(); ++i) {
            physics::Ball& ball = model_->GetBall(i);
            if (placed[i] || ball.outOfPlay != 0 || !inRack(ball)) continue;
            physics::Vector3 spot = head;
            if (i == 0)
                spot.y = physics::St(physics::Ext(head.y) + physics::Ext(F32(4.0f)) * physics::Ext(radius));
            PlaceStopped(ball, spot);
        }
    } else if (gameType_ == game::kEightBall || gameType_ == game::kNineBall) {
        if (inPlay != 0 || !(force || playState == 4 || playState == 5)) return false;
        random_.Seed(seed);
        RackBalls();
    } else {
        return false;
    }
    sounds_.push_back({static_cast<int>(RulesSound::Rerack), 1.0f});
    return true;
}

void TableRules::SnapshotBalls() {
    platform::ScopedLock guard(lock_);
    snapshot_.clear();
    if (!model_) return;
    for (std::size_t i = 0; i < model_->BallCount(); ++i) {
        const physics::Ball& ball = model_->GetBall(i);
        snapshot_.push_back({ball.position, ball.orientation, ball.outOfPlay});
    }
}

bool TableRules::RestoreSnapshot() {
    platform::ScopedLock guard(lock_);
    if (!model_ || snapshot_.size() != model_->BallCount()) return false;
    shotRunning_ = false;
    for (std::size_t i = 0; i < snapshot_.size(); ++i) {
        physics::Ball& ball = model_->GetBall(i);
        PlaceStopped(ball, snapshot_[i].position);
        ball.orientation = snapshot_[i].orientation;
        ball.outOfPlay = snapshot_[i].outOfPlay;
    }
    return true;
}

bool TableRules::Strike(const StrikeArgs& args, std::uint16_t cueBall) {
    platform::ScopedLock guard(lock_);
    if (!model_ || cueBall >= model_->BallCount()) {
        LogWrite(u"table: strike of ball %u refused (no such ball)\n", static_cast<unsigned>(cueBall));
        return false;
    }
    physics::Ball& ball = model_->GetBall(cueBall);
    physics::ShotParams shot{};
    shot.offsetLimitSide = args.offsetLimitSide;
    shot.offsetLimitVertical = args.offsetLimitVertical;
    shot.tipOffsetSide = args.tipOffsetSide;
    shot.tipOffsetVertical = args.tipOffsetVertical;
    shot.elevation = ElevationToRadians(args.elevationDegrees);
    ReduceOffsetPair(shot.offsetLimitSide, shot.offsetLimitVertical, args.reductionA, args.reductionB,
                     ball.radiusCm);
    ReduceOffsetPair(shot.tipOffsetSide, shot.tipOffsetVertical, args.reductionA, args.reductionB,
                     ball.radiusCm);
    shot.power = args.power;
    shot.contactFactor = args.contactFactor;
    shot.limitFactor = args.limitFactor;
    shot.stiffnessFactor = args.stiffnessFactor;

    // The queue still holds the events of the previous shot's last call: only this strike's
    // events may decide the miscue sounds.
    shotStart_.clear();
    for (std::size_t i = 0; i < model_->BallCount(); ++i) {
        const physics::Ball& b = model_->GetBall(i);
        shotStart_.push_back({b.position, b.orientation, b.outOfPlay});
    }
    physics::PhysicsEventQueue().clear();
    model_->Strike(ball, args.aimX, args.aimY, shot);
    strikeEvents_ = physics::PhysicsEventQueue();
    lastEvents_.clear();
    const auto miscue =
        std::find_if(strikeEvents_.begin(), strikeEvents_.end(),
                     [](const physics::PhysicsEvent& e) { return e.type == physics::EventType::Miscue; });
    if (miscue != strikeEvents_.end()) {
        const float maxPower = args.maxPower.Value();
        sounds_.push_back({static_cast<int>(RulesSound::MiscueSlip), Clamp01(miscue->intensity.Value())});
        sounds_.push_back({static_cast<int>(RulesSound::MiscueClick),
                           Clamp01(maxPower > 0.0f ? args.power.Value() / maxPower : args.power.Value())});
    }
    cueBall_ = cueBall;
    shotCalls_ = 0;
    shotRunning_ = true;
    speedCredit_ = 0.0f;
    std::fill(pocketEntry_.begin(), pocketEntry_.end(), 0);
    judge_.Begin(gameType_, cueBall, model_->BallCount());
    judge_.Feed(strikeEvents_);
    return true;
}

bool TableRules::FrameStep() {
    platform::ScopedLock guard(lock_);
    if (!shotRunning_ || !model_) return false;
    const bool rest = model_->Simulate(F32(kFrameSeconds), SubStepsOf(gameType_), F32(1.0f));
    ++shotCalls_;
    lastEvents_ = physics::PhysicsEventQueue();
    judge_.Feed(lastEvents_);
    if (IsPocketGame(gameType_)) {
        for (std::size_t i = 0; i < model_->BallCount(); ++i) {
            const physics::Ball& ball = model_->GetBall(i);
            std::uint8_t pocket = 0;
            F32 ratio;
            if (ball.outOfPlay != 0 || ball.IsAtRest() || !ball.FindPocketEntry(&pocket, &ratio)) pocket = 0;
            pocketEntry_[i] = pocket;
        }
    }
    if (!BallsFinite(*model_)) {
        // No client's shot gets here; a peer's or a record's words that do end at once, alike on
        // every client, with the table as the shot found it and a shot that touched nothing.
        LogWrite(
            u"table: shot stopped after %u calls: a ball is no number; the balls go back where it "
            u"started them\n",
            shotCalls_);
        for (std::size_t i = 0; i < shotStart_.size() && i < model_->BallCount(); ++i) {
            physics::Ball& ball = model_->GetBall(i);
            PlaceStopped(ball, shotStart_[i].position);
            ball.orientation = shotStart_[i].orientation;
            ball.outOfPlay = shotStart_[i].outOfPlay;
        }
        judge_.Begin(gameType_, cueBall_, model_->BallCount());
        EndShot();
        return true;
    }
    if (!rest && shotCalls_ < kMaxShotCalls) return false;
    if (!rest) {
        LogWrite(u"table: shot stopped after %u calls without coming to rest\n", shotCalls_);
        for (std::size_t i = 0; i < model_->BallCount(); ++i) {
            model_->GetBall(i).cueActive = 0;
            model_->GetBall(i).ResetMotion();
        }
    }
    EndShot();
    return true;
}

void TableRules::EndShot() {
    shotRunning_ = false;
    // A ball that jumped a rail rests beyond the frame, where the physics keeps it in play, out of
    // sight. In a pocket game it leaves play as a fallen ball does, the same on every client: a cue
    // ball off the table is a scratch, and the next turn sets it back on the table.
    if (IsPocketGame(gameType_)) {
        for (std::size_t i = 0; i < model_->BallCount(); ++i) {
            physics::Ball& ball = model_->GetBall(i);
            if (ball.outOfPlay != 0 || ball.IsWithinTableBounds(physics::F32(0.0f))) continue;
            ball.outOfPlay = kOffTable;
            judge_.Fell(static_cast<std::uint16_t>(i));
        }
    } else {
        SpotJumpedCaromBalls();
    }
    verdict_ = judge_.Judge();
    std::fill(pocketEntry_.begin(), pocketEntry_.end(), 0);
}

void TableRules::SpotJumpedCaromBalls() {
    // A carom table has no pocket to take such a ball: it goes back to its starting spot, or beside
    // it across the table when another ball lies there, the same on every client. The shot's judging
    // stands as the balls on the table made it.
    Lcg unused;  // carom racks draw no random numbers
    const std::vector<physics::Vector3> spots =
        RackPositions(Info().rack, gameType_, model_->BallCount(), model_->Geometry(),
                      BallKindOf(ballKind_).radiusCm, unused);
    for (std::size_t i = 0; i < model_->BallCount() && i < spots.size(); ++i)
        if (!model_->GetBall(i).IsWithinTableBounds(F32(0.0f)))
            PlaceNearSpot(i, spots[i].x.Value(), spots[i].y.Value());
}

bool TableRules::IsSpotFree(std::size_t index, float x, float y) const {
    platform::ScopedLock guard(lock_);
    const physics::Ball& placed = model_->GetBall(index);
    for (std::size_t i = 0; i < model_->BallCount(); ++i) {
        if (i == index) continue;
        const physics::Ball& other = model_->GetBall(i);
        if (other.outOfPlay) continue;
        const float dx = other.position.x.Value() - x, dy = other.position.y.Value() - y;
        const float reach = other.radiusCm.Value() + placed.radiusCm.Value();
        if (dx * dx + dy * dy < reach * reach) return false;
    }
    return true;
}

bool TableRules::PlaceNearSpot(std::size_t index, float x, float y) {
    platform::ScopedLock guard(lock_);
    physics::Ball& ball = model_->GetBall(index);
    const physics::Vector3 before = ball.position;
    const float step = ball.radiusCm.Value() * 2.2f;
    for (int k = 0; k < 20; ++k) {
        // 0, -1, +1, -2, +2, ... steps across the table.
        const float at = y + (k % 2 ? 1.0f : -1.0f) * static_cast<float>((k + 1) / 2) * step;
        ball.position = {F32(x), F32(at), ball.radiusCm};
        if (ball.IsInsideCushions(F32(0.0f)) && IsSpotFree(index, x, at)) {
            PlaceStopped(ball, ball.position);
            return true;
        }
    }
    ball.position = before;
    return false;
}

void TableRules::StopShot() {
    platform::ScopedLock guard(lock_);
    shotRunning_ = false;
    if (!model_) return;
    for (std::size_t i = 0; i < model_->BallCount(); ++i) {
        physics::Ball& ball = model_->GetBall(i);
        ball.cueActive = 0;
        ball.ResetMotion();
    }
    std::fill(pocketEntry_.begin(), pocketEntry_.end(), 0);
}

void TableRules::SetSpeedFactor(float factor) {
    if (!(factor > 0.0f && factor <= 1.0f)) {
        LogWrite(u"table: speed factor refused\n");
        return;
    }
    platform::ScopedLock guard(lock_);
    speedFactor_ = factor;
}

int TableRules::FrameStepsDue() {
    platform::ScopedLock guard(lock_);
    speedCredit_ += speedFactor_;
    if (speedCredit_ < 1.0f) return 0;
    speedCredit_ -= 1.0f;
    return 1;
}

int TableRules::GetShotResultCode() const {
    platform::ScopedLock guard(lock_);
    const int code = verdict_.code;
    if (code < 0) return code;
    const int count = code % 1000;
    const int digit = std::min(code / 1000, 3);
    return count >= 4 ? digit * 1000 + count : count;
}

void TableRules::SetShotResultCode(int code, bool clearLists) {
    platform::ScopedLock guard(lock_);
    verdict_.code = code;
    if (clearLists) {
        verdict_.pocketed.clear();
        verdict_.touched.clear();
        verdict_.ruleValue = kNoBall;
    }
}

void TableRules::SetFirstBallList(std::vector<std::uint8_t> balls) {
    platform::ScopedLock guard(lock_);
    verdict_.pocketed = std::move(balls);
}

std::uint8_t TableRules::FirstBallListCount() const {
    platform::ScopedLock guard(lock_);
    return static_cast<std::uint8_t>(std::min<std::size_t>(verdict_.pocketed.size(), kNoBallList - 1));
}

int TableRules::PickResultSound(int highRunPoints, int resultKind, int resultCode) const {
    return resultKind == 2 && resultCode >= 0 && highRunPoints >= 3 ? 1 : 0;
}

std::vector<SoundRequest> TableRules::TakeSoundRequests() {
    platform::ScopedLock guard(lock_);
    std::vector<SoundRequest> taken;
    taken.swap(sounds_);
    return taken;
}

}  // namespace table
