#include "tests/e2e/server/GameJudge.h"

#include <algorithm>

#include "tests/e2e/server/PocketGroups.h"
#include "tests/e2e/server/RoomCodes.h"

namespace testserver {

namespace {

using room::kEightBallGame, room::kFirstPocketType, room::kNineBallGame;
constexpr int kFourBall = 0, kOneCushion = 2, kKoreanThreeCushion = 3, kThreeCushionGamble = 5, kSixBalls = 6;

// What a carom shot scores: one point for a valid shot of the game (four-ball: both reds; one-cushion:
// a cushion before the second ball, two points with three; the three-cushion games: three cushions,
// two points for a bank shot in the Korean and gamble games; six balls: one a ball hit).
int CaromPoints(int gameType, const ShotReading& shot) {
    if (!shot.valid || shot.foul) return 0;
    switch (gameType) {
        case kFourBall:
            return shot.count >= 1 ? 1 : 0;
        case kOneCushion:
            return shot.count >= 4 ? 2 : shot.count >= 2 ? 1 : 0;
        case kSixBalls:
            return shot.count;
        case kKoreanThreeCushion:
        case kThreeCushionGamble:
            return shot.count >= 4 ? (shot.digit >= 1 ? 2 : 1) : 0;
        default:
            return shot.count >= 4 ? 1 : 0;
    }
}

}  // namespace

bool ShotReading::Pocketed(std::uint8_t ball) const {
    return std::find(pocketed.begin(), pocketed.end(), ball) != pocketed.end();
}

ShotReading ReadShotResult(const Bytes& body, int gameType) {
    ShotReading shot;
    Reader r(body);
    const auto code = static_cast<std::int16_t>(r.u16());
    if (!r.ok) return shot;
    shot.foul = code < 0;
    shot.count = shot.foul ? 0 : code % 1000;
    shot.digit = shot.foul ? 0 : code / 1000;
    if (gameType >= kFirstPocketType) {
        r.u8();  // the first ball touched: the touched list starts with it
        for (auto* list : {&shot.pocketed, &shot.touched}) {
            const std::uint8_t n = r.u8();
            for (int i = 0; i < n && r.ok; ++i) list->push_back(r.u8());
        }
        if (!r.ok) return ShotReading{};
    }
    shot.valid = true;
    return shot;
}

ShotVerdict JudgeShot(int gameType, const ShotReading& shot, std::uint8_t eightBallStatus, int teamPoints,
                      int target) {
    ShotVerdict v;
    if (gameType < kFirstPocketType) {
        v.points = CaromPoints(gameType, shot);
        v.stays = v.points > 0;
        if (v.stays && teamPoints + v.points >= target) v.end = GameEnd::ShooterWins;
        return v;
    }
    const bool cueDown = shot.Pocketed(ShotReading::kCueBall);
    const auto objects = static_cast<int>(shot.pocketed.size()) - (cueDown ? 1 : 0);
    v.freeBall = cueDown;
    v.stays = shot.valid && !shot.foul && !cueDown && objects > 0;
    v.points = v.stays ? objects : 0;
    // The game ball: the 8 ends 8-ball either way (won only by a team that played on it, with a clean
    // shot); the 9 wins 9-ball on a clean shot and is spotted again after a foul.
    if (gameType == kEightBallGame && shot.Pocketed(8))
        v.end = eightBallStatus == PocketGroups::kOnTheEight && shot.Clean() ? GameEnd::ShooterWins
                                                                             : GameEnd::ShooterLoses;
    if (v.end == GameEnd::ShooterLoses) {
        v.points = 0;
        v.stays = false;
    }
    if (gameType == kNineBallGame && shot.Pocketed(9)) {
        if (shot.Clean())
            v.end = GameEnd::ShooterWins;
        else
            v.spotNine = true;
    }
    return v;
}

}  // namespace testserver
