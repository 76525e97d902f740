#pragma once
// The 768-byte shot-state block: everything needed to run the last shot again (items, cue and
// parts, the balls where it started, the shot words). The replay panel reads items and the
// current ball from it; RestoreShotState takes it back. Byte layout (little-endian):
//   0 u8 present (non-zero when a shot is stored)   1 u8 game type      2 u8 current ball
//   3 u8 shooter seat     4 u16 table item     6 u16 ball-set item     8 u16 cue item
//   10 5 x u16 cue parts  20 5 x u8 part levels  25 u8 chalk used  26 u8 ball count  27 u8 zero
//   28 u32 physics model id   32 u32 shot seed   36 15 x f32 shot words
//   96 22 x 3 f32 positions   360 22 x 4 f32 orientations   712 22 x u8 out of play
//   734..767 zero

#include <array>
#include <cstdint>

#include "table/ShotWords.h"
#include "table/WorldConstants.h"

namespace table {

struct ShotState {
    bool present = false;
    std::uint8_t gameType = 0;
    std::uint8_t currentBall = 0;
    std::uint8_t shooterSeat = 0;
    std::uint16_t tableItem = 0;
    std::uint16_t ballSetItem = 0;
    std::uint16_t cueItem = 0;
    std::array<std::uint16_t, 5> cueParts{};
    std::array<std::uint8_t, 5> partLevels{};
    std::uint8_t chalkUsed = 0;
    std::uint8_t ballCount = 0;
    std::uint32_t physicsModelId = 0x10014;
    std::uint32_t shotSeed = 0;
    ShotWords words;
    std::array<std::array<float, 3>, kMaxBalls> positions{};
    std::array<std::array<float, 4>, kMaxBalls> orientations{};
    std::array<std::uint8_t, kMaxBalls> outOfPlay{};
};

using ShotStateBlock = std::array<std::uint8_t, kShotStateBlockSize>;

namespace shot_state_offset {
constexpr std::size_t kTableItem = 4;
constexpr std::size_t kCueItem = 8;
constexpr std::size_t kModelId = 28;
constexpr std::size_t kWords = 36;
constexpr std::size_t kPositions = 96;
constexpr std::size_t kOrientations = 360;
constexpr std::size_t kOutOfPlay = 712;
constexpr std::size_t kEnd = 734;
}  // namespace shot_state_offset

ShotStateBlock PackShotState(const ShotState& state);
// False (and `state` untouched) for a block whose present byte is 0, whose ball count is above 22,
// whose game type is outside 0..16 or whose shot words are not finite.
bool UnpackShotState(const ShotStateBlock& block, ShotState& state);

}  // namespace table
