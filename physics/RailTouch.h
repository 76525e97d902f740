#pragma once
// What the rail contacts share: which rails a ball touches and the cushion event they report.

#include "physics/Ball.h"
#include "physics/PhysicsModel.h"
#include "physics/TableGeometry.h"

namespace physics {

// `bits` with the rail bits (kRailLowX...) added of the rails that a ball of radius r (cm) at
// `p` reaches: only within the outer bounds, below the rail top and not below the bed.
std::uint8_t RailsTouched(const TableGeometry& g, const Vector3& p, F32 r, std::uint8_t bits);

// The speed of `v` into the rail of normal `n` (positive toward the rail), the dot product
// running y, then z, then x.
F32 CushionApproach(const Vector3& v, const Vector3& n);

// Pushes a Cushion event of `ball` with intensity approach x mass, the normal and `tag`.
void PushCushionEvent(const Ball& ball, F32 approach, const Vector3& normal, std::uint16_t tag);

// The tangent frame of a cushion contact that the cushion impulses share: e = (a2, a1, h) along
// the face, with a1 = -(dirY uz) and a2 = -(dirX uz), and s = e x u, each component stored.
struct CushionFrame {
    Vector3 e, s;
};
inline CushionFrame MakeCushionFrame(const CushionContact& c) {
    const Vector3& u = c.direction;
    const F32 h = c.horizontalLength;
    const F32 a1 = St(-(c.dirY * u.z));
    const F32 a2 = St(-(c.dirX * u.z));
    return CushionFrame{Vector3(a2, a1, h),
                        Vector3(St(a1 * u.z - h * u.y), St(h * u.x - a2 * u.z), St(a2 * u.y - a1 * u.x))};
}

}  // namespace physics
