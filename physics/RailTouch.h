#pragma once
// What the rail contacts share: which rails a ball touches and the cushion event they report.

#include "physics/Ball.h"
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

}  // namespace physics
