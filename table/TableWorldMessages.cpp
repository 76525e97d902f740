// The world's table messages: the shot, ball states, the shot result, placements, the aim of the
// own and of other players, marked numbers and line points.
#include <cmath>
#include <cstring>

#include "engine/core/Log.h"
#include "table/BallPlaces.h"
#include "table/TableWorld.h"

namespace table {

namespace {

std::uint32_t Bits(physics::F32 f) {
    return f.Bits();
}

}  // namespace

bool TableWorld::ReadShotMessage(net::Packet& packet) {
    platform::ScopedLock guard(lock_);
    ShotMessage shot;
    if (!table::ReadShotMessage(packet, shot) || shot.currentBall >= BallCount()) {
        LogWrite(u"ERROR : INVALID SHOT MESSAGE\n");
        return false;
    }
    if (shotExecuting_) return false;
    // Every client of the room brings a peer's word outside what a client sends, or one that is no
    // finite number, to the same value, so all still play one shot, and one that comes to rest.
    if (const WString problem = ShotWordsProblem(shot.words); !problem.empty()) {
        FitToLimits(shot.words);
        LogWrite(u"WARNING : the received shot's %s: taken within the limits\n", problem);
    }
    shot_ = shot;
    return true;
}

void TableWorld::WriteShotMessage(net::Packet& packet) const {
    platform::ScopedLock guard(lock_);
    table::WriteShotMessage(packet, shot_);
}

bool TableWorld::ReadBallStateMessage(net::Packet& packet) {
    platform::ScopedLock guard(lock_);
    BallStateBlock block;
    if (!ReadBallStateBlock(packet, gameType_, block) || block.ballCount != BallCount() || shotExecuting_) {
        LogWrite(u"ERROR : INVALID BALL STATE\n");
        return false;
    }
    // Every client refuses the same state, and keeps the table it had.
    std::array<std::array<float, 3>, kMaxBalls> positions{};
    for (std::size_t i = 0; i < block.ballCount; ++i)
        for (std::size_t axis = 0; axis < 3; ++axis)
            positions[i][axis] = physics::F32::FromBits(block.positions[i][axis]).Value();
    if (const WString problem = BallsPlaceProblem(gameType_, TableTypeOfGame(gameType_, block.tableItem),
                                                  std::span(positions).first(block.ballCount),
                                                  std::span(block.ballBytes).first(block.ballCount));
        !problem.empty()) {
        LogWrite(u"ERROR : INVALID BALL STATE: %s\n", problem);
        return false;
    }
    tableItem_ = block.tableItem;
    ballSetItem_ = block.ballSetItem;
    ApplyItems();
    for (std::size_t i = 0; i < block.ballCount; ++i) {
        physics::Ball& b = rules_.GetBall(i);
        const auto& p = block.positions[i];
        const auto& q = block.orientations[i];
        b.position = {physics::F32::FromBits(p[0]), physics::F32::FromBits(p[1]),
                      physics::F32::FromBits(p[2])};
        b.orientation = {physics::F32::FromBits(q[0]), physics::F32::FromBits(q[1]),
                         physics::F32::FromBits(q[2]), physics::F32::FromBits(q[3])};
        if (gameType_ >= kFirstPocketGameType) b.outOfPlay = block.ballBytes[i];
        b.ResetMotion();
    }
    UpdateAimObjects();
    return true;
}

void TableWorld::WriteBallStateMessage(net::Packet& packet, bool append) const {
    platform::ScopedLock guard(lock_);
    BallStateBlock block;
    block.tableItem = tableItem_;
    block.ballSetItem = ballSetItem_;
    block.ballCount = static_cast<std::uint8_t>(std::min<std::uint16_t>(BallCount(), kMaxBalls));
    for (std::size_t i = 0; i < block.ballCount; ++i) {
        const physics::Ball& b = rules_.GetBall(i);
        block.positions[i] = {Bits(b.position.x), Bits(b.position.y), Bits(b.position.z)};
        block.orientations[i] = {Bits(b.orientation.x), Bits(b.orientation.y), Bits(b.orientation.z),
                                 Bits(b.orientation.w)};
        block.ballBytes[i] = b.outOfPlay;
    }
    WriteBallStateBlock(packet, block, gameType_, append);
}

void TableWorld::WriteShotResultMessage(net::Packet& packet) const {
    platform::ScopedLock guard(lock_);
    ShotResult result;
    result.code = rules_.GetShotResultCode();
    result.ruleValue = rules_.RuleValue();
    result.firstList = rules_.FirstBallList();
    result.secondList = rules_.SecondBallList();
    table::WriteShotResultMessage(packet, result, gameType_);
}

void TableWorld::WriteBallPositionMessage(net::Packet& packet) const {
    platform::ScopedLock guard(lock_);
    BallPlacement placement;
    if (pocketCallPending_ || calledPocket_ != kNoPocket) {
        placement.argument = 1;
        placement.calledPocket = calledPocket_;
    }
    const std::int32_t ball = placedBall_ != kNoPlacedBall ? placedBall_ : currentBall_;
    placement.ball = static_cast<std::uint8_t>(ball);
    if (ball >= 0 && ball < BallCount()) {
        const physics::Ball& b = rules_.GetBall(static_cast<std::size_t>(ball));
        placement.x = b.position.x.Value();
        placement.y = b.position.y.Value();
        placement.z = b.position.z.Value();
    }
    WriteBallPlacementMessage(packet, placement);
}

bool TableWorld::BallPositionSendable() const {
    platform::ScopedLock guard(lock_);
    if (pocketCallPending_ || calledPocket_ != kNoPocket) return true;
    const std::int32_t ball = placedBall_ != kNoPlacedBall ? placedBall_ : currentBall_;
    return ball >= 0 && ball < BallCount() && !rules_.GetBall(static_cast<std::size_t>(ball)).outOfPlay;
}

bool TableWorld::ReadBallPositionMessage(net::Packet& packet) {
    platform::ScopedLock guard(lock_);
    BallPlacement placement;
    if (!ReadBallPlacementMessage(packet, placement)) {
        LogWrite(u"ERROR : INVALID BALL PLACEMENT\n");
        return false;
    }
    if (placement.argument == 1) return SetCalledPocket(placement.calledPocket);
    std::uint32_t x, y, z;
    std::memcpy(&x, &placement.x, 4);
    std::memcpy(&y, &placement.y, 4);
    std::memcpy(&z, &placement.z, 4);
    return PlaceBall(placement.ball, x, y, z);
}

void TableWorld::RefreshPose() {
    pose_.Set(aim_.YawDegrees(), aim_.TipSide(), aim_.TipVertical(), aim_.Power(), aim_.ElevationDegrees());
}

bool TableWorld::WriteAimMessageIfDue(net::Packet& packet, std::uint64_t nowMs) {
    platform::ScopedLock guard(lock_);
    // When the aim changed, at most every tenth tick, and only while the own aim is shown.
    if (ticksSinceAimSent_ < 10 || shotExecuting_ || !ownTurn_) return false;
    RefreshPose();
    if (!pose_.HasChanged(nowMs)) return false;
    pose_.WriteMessage(packet);
    pose_.MarkSent();
    ticksSinceAimSent_ = 0;
    return true;
}

bool TableWorld::ApplyRemoteAim(const std::array<std::uint32_t, 5>& values) {
    platform::ScopedLock guard(lock_);
    RemoteAim aim;
    if (!DecodeRemoteAim(values, aim)) return false;
    remoteAim_ = aim;
    remoteAimShown_ = true;
    // The watchers' cue shows the shooter's aim.
    if (!ownTurn_) {
        aim_.SetYawDegrees(aim.yawDegrees);
        aim_.SetTipOffset(aim.tipSide, aim.tipVertical);
        aim_.SetElevationDegrees(aim.elevationDegrees);
        aim_.SetPower(aim.power);
    }
    return true;
}

bool TableWorld::ReadMarkedNumbersMessage(net::Packet& packet) {
    platform::ScopedLock guard(lock_);
    return table::ReadMarkedNumbersMessage(packet, markedNumbers_);
}

void TableWorld::ClearMarkedNumbers() {
    platform::ScopedLock guard(lock_);
    markedNumbers_ = MarkedNumbers{};
}

bool TableWorld::ReadLinePointMessage(int seat, net::Packet& packet, float& screenX, float& screenY) {
    platform::ScopedLock guard(lock_);
    (void)seat;
    LinePoint point;
    if (!table::ReadLinePointMessage(packet, point)) return false;
    return TableToScreen({point.x, point.y, point.z}, screenX, screenY);
}

}  // namespace table
