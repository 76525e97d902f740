#pragma once
// Game types 0..16 and what each one defaults to.

#include <cstdint>

#include "engine/core/Text.h"
#include "net/NetConstants.h"

namespace net {

enum class GameType : std::uint8_t {
    FourBall = 0,
    OneCushionGamble = 2,
    ThreeCushionKorean = 3,
    ThreeCushion = 4,
    ThreeCushionGamble = 5,
    SixBall = 6,
    EightBall = 10,
    CardBall = 11,
    NineBall = 12,
    Straight141 = 13,
    Snooker = 16,
};

constexpr bool IsValidGameType(int type) {
    return type >= 0 && type < kGameTypeCount;
}
// True for the game types that have rules (the others are unused numbers).
bool GameTypeHasRules(int type);
bool IsPocketGame(int type);
// Long display name; empty for a type without rules.
WStringView GameTypeLongName(int type);
// Default table and ball-set item ids; 0 for a type without rules.
std::uint16_t DefaultTableOfGameType(int type);
std::uint16_t DefaultBallSetOfGameType(int type);

}  // namespace net
