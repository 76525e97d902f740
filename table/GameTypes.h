#pragma once
// The game types (0 to 16) and what each fixes for the table: ball count, table kind, carom or
// pocket, rack and ball kind. One table, documented in docs/decisions/table-world.md.

#include <cstdint>

#include "physics/Numeric.h"

namespace table {

// Game type numbers as the server and the records carry them.
namespace game {
constexpr int kFourBall = 0;
constexpr int kCaromVariant1 = 1;
constexpr int kOneCushionGamble = 2;
constexpr int kThreeCushionKorean = 3;
constexpr int kThreeCushion = 4;
constexpr int kThreeCushionGamble = 5;
constexpr int kSixBalls = 6;
constexpr int kEightBall = 10;
constexpr int kCardBall = 11;
constexpr int kNineBall = 12;
constexpr int kStraightPool = 13;
constexpr int kSnooker = 16;
constexpr int kCount = 17;
// Game types from this one on are pocket games (15 sub-steps, ball bytes in records).
constexpr int kFirstPocketGame = 10;
}  // namespace game

// Regulation ball kinds.
enum class BallKind : std::uint8_t { Carom, Pool, Snooker };

struct BallKindSpec {
    physics::F32 radiusCm;
    physics::F32 massKg;
};

// How the balls of a game are placed at the start of a rack.
enum class RackKind : std::uint8_t {
    ThreeBall,  // two cue balls on the head string, the red on the foot spot
    FourBall,   // two cue balls on the head string, two reds on the centre line
    SixBall,    // one cue ball, five object balls around the foot spot
    Triangle,   // cue ball on the head string, fifteen balls in a triangle on the foot spot
    Diamond,    // cue ball on the head string, nine balls in a diamond on the foot spot
    Snooker,    // cue ball in the D, fifteen reds and six colours on their spots
};

struct GameTypeInfo {
    std::uint16_t ballCount;
    std::uint32_t tableKind;  // physics table type 0..11 of the game's default table
    bool pocket;
    RackKind rack;
    BallKind ballKind;
};

bool IsValidGameType(int gameType);
// The entry of a game type; an invalid type reads as four-ball.
const GameTypeInfo& GameTypeOf(int gameType);
const BallKindSpec& BallKindOf(BallKind kind);
inline bool IsPocketGame(int gameType) {
    return gameType >= game::kFirstPocketGame;
}
// Sub-steps of one frame step: 50 for carom games, 15 for pocket games.
inline std::uint32_t SubStepsOf(int gameType) {
    return gameType < game::kFirstPocketGame ? 50u : 15u;
}

}  // namespace table
