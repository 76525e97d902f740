#include "table/GameTypes.h"

#include <array>

namespace table {

namespace {

using physics::F32;

// Physics table types: 0 and 2 to 5 are the 240 x 120 cm carom tables, 6 to 8 the 284 x 142 cm
// match tables, 9 and 10 the 255 x 127.5 cm pocket tables, 11 the 356 x 178 cm snooker table.
// The game types without a name of their own (1, 7, 8, 9 carom; 14, 15 pocket) play like
// three-cushion and 8-ball.
constexpr std::array<GameTypeInfo, game::kCount> kGameTypes = {{
    {4, 0, false, RackKind::FourBall, BallKind::Carom},    // 0 four-ball
    {3, 0, false, RackKind::ThreeBall, BallKind::Carom},   // 1
    {3, 2, false, RackKind::ThreeBall, BallKind::Carom},   // 2 one-cushion gamble
    {3, 3, false, RackKind::ThreeBall, BallKind::Carom},   // 3 three-cushion, Korean rules
    {3, 6, false, RackKind::ThreeBall, BallKind::Carom},   // 4 three-cushion
    {3, 5, false, RackKind::ThreeBall, BallKind::Carom},   // 5 three-cushion gamble
    {6, 3, false, RackKind::SixBall, BallKind::Carom},     // 6 six balls
    {3, 0, false, RackKind::ThreeBall, BallKind::Carom},   // 7
    {3, 0, false, RackKind::ThreeBall, BallKind::Carom},   // 8
    {3, 0, false, RackKind::ThreeBall, BallKind::Carom},   // 9
    {16, 9, true, RackKind::Triangle, BallKind::Pool},     // 10 8-ball
    {16, 9, true, RackKind::Triangle, BallKind::Pool},     // 11 card ball
    {10, 9, true, RackKind::Diamond, BallKind::Pool},      // 12 9-ball
    {16, 10, true, RackKind::Triangle, BallKind::Pool},    // 13 14-1 straight
    {16, 9, true, RackKind::Triangle, BallKind::Pool},     // 14
    {16, 9, true, RackKind::Triangle, BallKind::Pool},     // 15
    {22, 11, true, RackKind::Snooker, BallKind::Snooker},  // 16 snooker
}};

// Regulation sizes: carom 61.5 mm and 210 g, pool 57.15 mm and 170 g, snooker 52.5 mm and 142 g.
constexpr std::array<BallKindSpec, 3> kBallKinds = {{
    {F32(3.075f), F32(0.21f)},
    {F32(2.8575f), F32(0.17f)},
    {F32(2.625f), F32(0.142f)},
}};

}  // namespace

bool IsValidGameType(int gameType) {
    return gameType >= 0 && gameType < game::kCount;
}

const GameTypeInfo& GameTypeOf(int gameType) {
    return kGameTypes[IsValidGameType(gameType) ? static_cast<std::size_t>(gameType) : 0];
}

const BallKindSpec& BallKindOf(BallKind kind) {
    return kBallKinds[static_cast<std::size_t>(kind)];
}

}  // namespace table
