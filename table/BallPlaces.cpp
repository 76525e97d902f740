#include "table/BallPlaces.h"

#include <algorithm>
#include <array>

#include "engine/core/Format.h"
#include "physics/PhysicsConstants.h"
#include "physics/TableGeometry.h"
#include "table/WorldConstants.h"

namespace table {

namespace {

// Wider than the largest ball's radius (3.075 cm): the rules keep a ball in play whose centre lies
// within its radius of the frame.
constexpr float kBallRoom = 5.0f;
// A ball in play at rest lies on the bed (its centre a radius above it); one may come to rest on
// the rail top.
constexpr float kAboveRailTop = 10.0f;

struct Boxes {
    PlaceBox inPlay, outOfPlay;
};

Boxes BoxesOf(std::uint32_t tableType) {
    physics::TableGeometry g;
    physics::BuildTableGeometry(tableType, g, physics::kDefaultPhysicsModelId);
    const float xMax = g.frame.xMax.Value(), yMax = g.frame.yMax.Value();
    const float zMax = g.railTop.Value() + kAboveRailTop;
    Boxes b;
    b.inPlay = {xMax + kBallRoom, yMax + kBallRoom, g.reserved16.Value(), zMax};
    // A pocketed ball rests its radius above the pocket's floor; carom tables have no pocket depth.
    const float floor = std::min(g.pocketDepth.Value(), g.reserved16.Value());
    b.outOfPlay = {xMax + kJumpReach, yMax + kJumpReach, floor, zMax};
    return b;
}

const Boxes& BoxesOfTable(std::uint32_t tableType) {
    static const std::array<Boxes, physics::kTableTypeCount> kBoxes = [] {
        std::array<Boxes, physics::kTableTypeCount> boxes;
        for (std::uint32_t t = 0; t < boxes.size(); ++t) boxes[t] = BoxesOf(t);
        return boxes;
    }();
    return kBoxes[tableType < kBoxes.size() ? tableType : 0];
}

}  // namespace

PlaceBox InPlayBox(std::uint32_t tableType) {
    return BoxesOfTable(tableType).inPlay;
}

PlaceBox OutOfPlayBox(std::uint32_t tableType) {
    return BoxesOfTable(tableType).outOfPlay;
}

WString BallPlaceProblem(std::uint32_t tableType, int ball, bool inPlay, float x, float y, float z) {
    const Boxes& boxes = BoxesOfTable(tableType);
    if ((inPlay ? boxes.inPlay : boxes.outOfPlay).Holds(x, y, z)) return {};
    return Format(u"ball %d at x %g, y %g, z %g lies where no shot leaves a ball%s", ball, x, y, z,
                  inPlay ? u" in play" : u"");
}

WString BallsPlaceProblem(std::int32_t gameType, std::uint32_t tableType,
                          std::span<const std::array<float, 3>> positions,
                          std::span<const std::uint8_t> ballBytes) {
    const bool pocketGame = gameType >= kFirstPocketGameType;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const bool inPlay = !pocketGame || i >= ballBytes.size() || ballBytes[i] == 0;
        const auto& p = positions[i];
        if (WString problem = BallPlaceProblem(tableType, static_cast<int>(i), inPlay, p[0], p[1], p[2]);
            !problem.empty())
            return problem;
    }
    return {};
}

}  // namespace table
