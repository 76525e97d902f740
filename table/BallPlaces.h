#pragma once
// Where a shot can leave a ball on a table. A ball in play rests on the bed within the frame (the
// rules take a pocket game's ball beyond it out of play and set a carom ball back on its spot); a
// ball out of play lies in a pocket or, after a jump, on the bed's plane beyond the frame. A ball of
// a peer's table state (2050, 2051), of a shot record or of a placement outside its box is refused:
// no shot leaves one there, and a shot from there runs to the rules' cap or plays balls off the table.

#include <array>
#include <cstdint>
#include <span>

#include "engine/core/Text.h"

namespace table {

// How far beyond the frame a ball that jumped off the table may rest (cm). The farthest seen, over
// about 100,000 shots of every model on every table type and a search for the longest jump, lay
// about 1,250 cm out (model 0x10007 on the snooker table; the base model's reached 1,060 cm).
constexpr float kJumpReach = 2000.0f;

// |x| <= xMax, |y| <= yMax and zMin <= z <= zMax, in table coordinates (cm, z up from the bed).
struct PlaceBox {
    float xMax, yMax, zMin, zMax;
    bool Holds(float x, float y, float z) const {
        return x >= -xMax && x <= xMax && y >= -yMax && y <= yMax && z >= zMin && z <= zMax;
    }
};

// The box of the balls in play on table type 0..11: the frame and a margin wider than any ball's
// radius, from the bed up to well above the rail top.
PlaceBox InPlayBox(std::uint32_t tableType);
// The box of the balls out of play: as far beyond the frame as kJumpReach, down to the pockets' floor.
PlaceBox OutOfPlayBox(std::uint32_t tableType);

// Why ball `ball` cannot be at (x, y, z) on the table type, in play or not, as a clause for a user
// ("ball 3 at x 500, y 0, z 3.075 lies where no shot leaves a ball"); empty when it can (a coordinate
// that is no number never can).
WString BallPlaceProblem(std::uint32_t tableType, int ball, bool inPlay, float x, float y, float z);

// The first ball of a table state or shot record of game type `gameType` that lies where no shot leaves
// one on the table type, as BallPlaceProblem says it; empty when every ball can lie where it is. A ball
// is in play unless the game is a pocket game, whose state carries one out-of-play byte a ball
// (`ballBytes`, as many as `positions`), and its byte is set.
WString BallsPlaceProblem(std::int32_t gameType, std::uint32_t tableType,
                          std::span<const std::array<float, 3>> positions,
                          std::span<const std::uint8_t> ballBytes);

}  // namespace table
