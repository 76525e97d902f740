#pragma once
// Cue clearance: the aimed cue is a cone (radius 0.602 at the tip, growing by 1.014 over its 137
// table units of length). These functions raise a running minimum cue elevation (radians, in/out
// `elevation`) whenever the cue, held at that elevation, would pass through a ball, a cushion or a
// pocket jaw. Table space: x and y on the bed, z up. The aim direction is a horizontal unit vector.

#include <array>
#include <cstdint>

#include "engine/core/Math.h"

namespace table {

namespace cue_clearance {
constexpr float kTipRadius = 0.602f;
constexpr float kCueGrowth = 1.014f;
constexpr float kCueLength = 137.0f;
constexpr float kSlope = kCueGrowth / kCueLength;
constexpr float kAxisEpsilon = kFloatEpsilon;
constexpr float kRailAboveCushion = 0.2f;
constexpr float kCircleObstacleAboveRail = 0.5f;
constexpr float kCornerCircleScale = 1.3f;
constexpr float kMiddleCircleScale = 1.2f;
}  // namespace cue_clearance

// A ball of radius r at q in front of the tip p (offset tipOffset along the cue), the cue axis at
// height cueHeight above the tip: raises the elevation so the cone clears the ball. A ball behind
// the tip never counts.
void CueClearanceStep(float tipOffset, const Vector3f& tip, const Vector3f& dir, float cueHeight,
                      const Vector3f& ball, float radius, float& elevation);

// An edge at height z1 reached by the vector w from the tip (tip height z0), cue height c.
void CueClearanceForEdge(float tipOffset, const Vector3f& dir, float c, float z0, float z1, const Vector3f& w,
                         float& elevation);

// In the bed plane, the aim ray from origin meets the segment a-b from its front side (the normal
// is the segment's right-hand perpendicular when rightNormal is set, else the left-hand one) at
// a parameter f in [0, 1). outVector = dir scaled to the crossing; outHeight runs h0 -> h1 -> h2
// along the segment. Returns whether it crossed.
bool SegmentCrossing(const Vector3f& origin, const Vector3f& dir, const Vector3f& a, const Vector3f& b,
                     bool rightNormal, float h0, float h1, float h2, Vector3f& outVector, float& outHeight);

// The far crossing of the circle (centre q, radius r, bed plane) along the ray from p.
bool RayHitsCircle(const Vector3f& p, const Vector3f& dir, const Vector3f& q, float r, Vector3f& outVector);

// One cushion as the clearance sees it. Axis 1: the cushion line is x = const; axis 0: y = const
// (the long cushions, with the middle pocket). Lines and spans are coordinates in table space.
struct ClearanceCushion {
    int axis = 0;
    float innerLine = 0;  // L0, the playing edge
    float outerLine = 0;  // L1, the rail's outer edge
    float spanFrom = 0;   // the cushion's ends along the other axis
    float spanTo = 0;
    std::array<std::array<Vector3f, 2>, 2> endJaws{};     // jaw segments at the two ends
    std::array<std::array<Vector3f, 2>, 2> middleJaws{};  // axis 0: the middle pocket's jaws
    bool jawRightNormal = false;                          // which perpendicular faces the table
    std::array<Vector3f, 2> cornerCentres{};              // pocket circles at the two ends
    Vector3f middleCentre{};
    float middleFrom = 0;  // axis 0: the middle pocket's span along the cushion
    float middleTo = 0;
};

// What the clearance reads of the table: four cushions (two of axis 1, two of axis 0), the
// cushion height, the pocket radii and whether the table has pockets. The table world fills it
// from its table geometry.
struct ClearanceTable {
    std::array<ClearanceCushion, 4> cushions{};
    float cushionHeight = 0;
    float cornerPocketRadius = 0;
    float middlePocketRadius = 0;
    bool pockets = false;
};

void CushionClearance(const ClearanceCushion& cushion, float cushionHeight, float railHeight,
                      float middleOffset, bool pockets, float tipOffset, const Vector3f& tip,
                      const Vector3f& dir, float c, float z0, const ClearanceTable& table, float& elevation);

// The four cushions of the table, rail height = cushion height + 0.2, middle offset 0.
void ComputeCueClearance(float tipOffset, const Vector3f& tip, const Vector3f& dir, float c, float z0,
                         const ClearanceTable& table, float& elevation);

}  // namespace table
