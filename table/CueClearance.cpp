#include "table/CueClearance.h"

#include <algorithm>
#include <cmath>

namespace table {

using namespace cue_clearance;

namespace {

float Along(const Vector3f& v, int axis) {
    return axis == 1 ? v.x : v.y;
}
float Across(const Vector3f& v, int axis) {
    return axis == 1 ? v.y : v.x;
}
float Cross2(float ax, float ay, float bx, float by) {
    return ax * by - ay * bx;
}

}  // namespace

void CueClearanceStep(float tipOffset, const Vector3f& tip, const Vector3f& dir, float cueHeight,
                      const Vector3f& ball, float radius, float& elevation) {
    const Vector3f d = ball - tip;
    const float t = Dot(d, dir);
    if (!(t > 0.0f)) return;
    const float perp = Length(Cross(d, dir));
    const float s = (t + tipOffset) * kCueGrowth / kCueLength + kTipRadius + radius;
    const float room = s * s - perp * perp;
    if (room > 0.0f) elevation = std::max(elevation, std::atan((std::sqrt(room) - cueHeight) / t));
}

void CueClearanceForEdge(float tipOffset, const Vector3f& dir, float c, float z0, float z1, const Vector3f& w,
                         float& elevation) {
    const float g = Dot(dir, w);
    if (!(g > 0.0f)) return;
    const float dz = z1 - z0;
    const float l = std::sqrt(dz * dz + g * g);
    if (!(l > 0.0f)) return;
    const float k = kSlope;
    const float a = kTipRadius + k * tipOffset;
    const float qa = 1.0f + k * k;
    const float qb = 2.0f * k * (a - c);
    const float qd = qb * qb - 4.0f * qa * ((a - c) * (a - c) - l * l);
    const float x = (-qb + std::sqrt(qd)) / (2.0f * qa);  // NaN when the cone never reaches the edge
    const float y = (x + tipOffset) * k + kTipRadius;
    if (std::isnan(y)) return;
    elevation = std::max(elevation, std::atan(dz / l) - std::atan((c - y) / l));
}

bool SegmentCrossing(const Vector3f& origin, const Vector3f& dir, const Vector3f& a, const Vector3f& b,
                     bool rightNormal, float h0, float h1, float h2, Vector3f& outVector, float& outHeight) {
    const float sx = b.x - a.x;
    const float sy = b.y - a.y;
    const float nx = rightNormal ? sy : -sy;
    const float ny = rightNormal ? -sx : sx;
    if (!(dir.x * nx + dir.y * ny < 0.0f)) return false;
    const float denom = Cross2(dir.x, dir.y, sx, sy);
    if (denom == 0.0f) return false;
    const float ox = a.x - origin.x;
    const float oy = a.y - origin.y;
    const float t = Cross2(ox, oy, sx, sy) / denom;
    const float f = Cross2(ox, oy, dir.x, dir.y) / denom;
    if (t < 0.0f || f < 0.0f || f >= 1.0f) return false;
    outVector = {dir.x * t, dir.y * t, 0.0f};
    outHeight = f < 0.5f ? h0 + (h1 - h0) * f / 0.5f : h1 + (h2 - h1) * (f - 0.5f) / 0.5f;
    return true;
}

bool RayHitsCircle(const Vector3f& p, const Vector3f& dir, const Vector3f& q, float r, Vector3f& outVector) {
    const Vector3f d{q.x - p.x, q.y - p.y, 0.0f};
    const Vector3f flat{dir.x, dir.y, 0.0f};
    const float length = Length(flat);
    const Vector3f unit = length > kAxisEpsilon ? flat * (1.0f / length) : Vector3f{};
    const float proj = Dot(d, unit);
    const float perp2 = Dot(d, d) - proj * proj;
    if (perp2 > r * r) return false;
    outVector = unit * (proj + std::sqrt(r * r - perp2));
    return true;
}

void CushionClearance(const ClearanceCushion& cushion, float cushionHeight, float railHeight,
                      float middleOffset, bool pockets, float tipOffset, const Vector3f& tip,
                      const Vector3f& dir, float c, float z0, const ClearanceTable& table, float& elevation) {
    const int axis = cushion.axis;
    const float r1 = kCornerCircleScale * table.cornerPocketRadius;
    const float r2 = kMiddleCircleScale * table.middlePocketRadius;
    const float hm = (cushionHeight + railHeight) * 0.5f + middleOffset;
    const float u = Along(dir, axis);
    const bool axisUsable = std::fabs(u) >= kAxisEpsilon;
    // The vector from the tip to where the aim meets a line of the cushion.
    auto toLine = [&](float line) { return axisUsable ? dir * ((line - Along(tip, axis)) / u) : dir * 1e6f; };
    const bool towards = axisUsable && (cushion.outerLine - Along(tip, axis)) / u > 0.0f;

    bool intoPocket = false;
    if (pockets) {
        Vector3f w;
        float height = 0;
        const int jawSets = axis == 0 ? 2 : 1;
        for (int set = 0; set < jawSets; ++set) {
            const auto& jaws = set == 0 ? cushion.endJaws : cushion.middleJaws;
            for (const auto& jaw : jaws) {
                if (SegmentCrossing(tip, dir, jaw[0], jaw[1], cushion.jawRightNormal, cushionHeight, hm,
                                    railHeight, w, height)) {
                    CueClearanceForEdge(tipOffset, dir, c, z0, height, w, elevation);
                    return;
                }
            }
        }
        if (towards) {
            const Vector3f atOuter = toLine(cushion.outerLine);
            const float across = Across(tip, axis) + Across(atOuter, axis);
            const float lo = std::min(cushion.spanFrom, cushion.spanTo);
            const float hi = std::max(cushion.spanFrom, cushion.spanTo);
            bool tested = false;
            Vector3f hit;
            bool found = false;
            if (across < lo || across > hi) {
                tested = true;
                for (const Vector3f& centre : cushion.cornerCentres)
                    if (!found && RayHitsCircle(tip, dir, centre, r1, hit)) found = true;
            } else if (axis == 0 && across >= cushion.middleFrom && across <= cushion.middleTo) {
                tested = true;
                found = RayHitsCircle(tip, dir, cushion.middleCentre, r2, hit);
            }
            if (found) {
                CueClearanceForEdge(tipOffset, dir, c, z0, railHeight + kCircleObstacleAboveRail, hit,
                                    elevation);
                return;
            }
            intoPocket = tested;
        }
    }
    if (!towards) return;
    if (!intoPocket) {
        CueClearanceForEdge(tipOffset, dir, c, z0, cushionHeight, toLine(cushion.innerLine), elevation);
        CueClearanceForEdge(tipOffset, dir, c, z0, hm, toLine((cushion.innerLine + cushion.outerLine) * 0.5f),
                            elevation);
    }
    CueClearanceForEdge(tipOffset, dir, c, z0, railHeight, toLine(cushion.outerLine), elevation);
}

void ComputeCueClearance(float tipOffset, const Vector3f& tip, const Vector3f& dir, float c, float z0,
                         const ClearanceTable& table, float& elevation) {
    const float rail = table.cushionHeight + kRailAboveCushion;
    for (const ClearanceCushion& cushion : table.cushions)
        CushionClearance(cushion, table.cushionHeight, rail, 0.0f, table.pockets, tipOffset, tip, dir, c, z0,
                         table, elevation);
}

}  // namespace table
