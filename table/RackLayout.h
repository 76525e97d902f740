#pragma once
// Where the balls of each rack kind start, on the table of the given geometry. The spots scale
// with the table's cushion lines (head and foot spots at a quarter of the length from the ends),
// so a rack fits any table kind that the world picks for the game. Neighbouring balls of a
// triangle or diamond keep a gap of kRackGap, so no pair starts in contact.

#include <cstdint>
#include <vector>

#include "engine/core/Lcg.h"
#include "physics/MathTypes.h"
#include "physics/TableGeometry.h"
#include "table/GameTypes.h"

namespace table {

constexpr float kRackGap = 0.05f;  // cm

// The start position of every ball (index = ball id) of a rack of `ballCount` balls of radius
// `radiusCm`; z is the radius. The generator orders the object balls where the rack leaves the
// order open. `gameType` picks the 8-ball and 9-ball orders.
std::vector<physics::Vector3> RackPositions(RackKind kind, int gameType, std::uint16_t ballCount,
                                            const physics::TableGeometry& geometry, physics::F32 radiusCm,
                                            Lcg& random);

// The triangle slots (apex first, row by row from the foot spot outward) of a 15-ball rack.
std::vector<physics::Vector3> TriangleSlots(const physics::TableGeometry& geometry, physics::F32 radiusCm);

// The head spot and the foot spot of a table (z = radius).
physics::Vector3 HeadSpot(const physics::TableGeometry& geometry, physics::F32 radiusCm);

}  // namespace table
