#include "table/ShotJudge.h"

namespace table {

void ShotJudge::Begin(int gameType, std::uint16_t cueBall, std::uint16_t ballCount) {
    *this = ShotJudge();
    gameType_ = gameType;
    cueBall_ = cueBall;
    ballCount_ = ballCount;
}

void ShotJudge::Feed(const std::vector<physics::PhysicsEvent>&) {}

ShotVerdict ShotJudge::Judge() const {
    return ShotVerdict{};
}

}  // namespace table
