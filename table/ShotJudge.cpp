#include "table/ShotJudge.h"

#include <algorithm>

#include "table/GameTypes.h"
#include "table/TableConstants.h"

namespace table {

using physics::EventType;

namespace {

bool Contains(const std::vector<std::uint8_t>& list, std::uint16_t id) {
    return std::find(list.begin(), list.end(), id) != list.end();
}

}  // namespace

void ShotJudge::Begin(int gameType, std::uint16_t cueBall, std::uint16_t ballCount) {
    *this = ShotJudge();
    gameType_ = gameType;
    cueBall_ = cueBall;
    ballCount_ = ballCount;
}

// In four-ball the two cue balls (0 and 1) are no object balls for each other.
bool ShotJudge::IsObjectBall(std::uint16_t id) const {
    if (id == cueBall_) return false;
    return !(gameType_ == game::kFourBall && id < 2);
}

void ShotJudge::Feed(const std::vector<physics::PhysicsEvent>& events) {
    for (const physics::PhysicsEvent& e : events) {
        switch (e.type) {
            case EventType::BallCollision: {
                if (e.ballId != cueBall_ && e.tag != cueBall_) break;
                const std::uint16_t other = e.ballId == cueBall_ ? e.tag : e.ballId;
                contactSinceRail_ = true;
                if (other >= ballCount_ || Contains(touched_, other)) break;
                touched_.push_back(static_cast<std::uint8_t>(other));
                if (!IsObjectBall(other)) break;
                ++objectsHit_;
                if (objectsHit_ == 1) cushionsBeforeFirst_ = cushions_;
                if (objectsHit_ == 2) cushionsBeforeSecond_ = cushions_;
                break;
            }
            case EventType::Cushion: {
                if (!touched_.empty()) railAfterContact_ = true;
                if (e.ballId != cueBall_) break;
                // Rolling along one cushion reports it again; a hit counts when the rail changed
                // or the cue ball touched a ball since the last one.
                const std::uint16_t bits = e.tag & 0xFF;
                if (contactSinceRail_ || bits != lastRailBits_) ++cushions_;
                lastRailBits_ = bits;
                contactSinceRail_ = false;
                break;
            }
            case EventType::PocketDrop:
                if (e.ballId < ballCount_ && !Contains(pocketed_, e.ballId))
                    pocketed_.push_back(static_cast<std::uint8_t>(e.ballId));
                break;
            default:
                break;
        }
    }
}

void ShotJudge::Fell(std::uint16_t ball) {
    if (ball < ballCount_ && !Contains(pocketed_, ball)) pocketed_.push_back(static_cast<std::uint8_t>(ball));
}

ShotVerdict ShotJudge::Judge() const {
    ShotVerdict v;
    v.pocketed = pocketed_;
    v.touched = touched_;
    v.ruleValue = touched_.empty() ? kNoBall : touched_.front();
    int count = 0;
    int digit = 0;
    if (IsPocketGame(gameType_)) {
        const bool cueFell = Contains(pocketed_, cueBall_);
        const int objectsFell = static_cast<int>(pocketed_.size()) - (cueFell ? 1 : 0);
        if (cueFell)
            count = 1;
        else if (touched_.empty())
            count = 0;
        else if (objectsFell > 0)
            count = 4 + objectsFell;
        else
            count = railAfterContact_ ? 3 : 2;
        const std::uint16_t gameBall = gameType_ == game::kEightBall  ? 8
                                       : gameType_ == game::kNineBall ? 9
                                                                      : 0;
        if (gameBall != 0 && Contains(pocketed_, gameBall)) digit = 1;
    } else if (gameType_ == game::kSixBalls) {
        count = objectsHit_;
    } else if (gameType_ == game::kFourBall) {
        const bool otherCueBall = Contains(touched_, cueBall_ == 0 ? 1 : 0);
        count = objectsHit_ >= 2 && !otherCueBall ? 1 : 0;
    } else if (objectsHit_ >= 2) {
        count = 1 + std::min(cushionsBeforeSecond_, 3);
        digit = std::min(cushionsBeforeFirst_, 3);
    }
    v.code = digit * 1000 + count;
    return v;
}

}  // namespace table
