#include "table/StrikeArithmetic.h"

#include "physics/MathTypes.h"
#include "physics/PhysicsEntry.h"

namespace table {

using physics::Ext;
using physics::F32;
using physics::St;

namespace {

PHYSICS_BEHIND_ENTRY F32 ElevationToRadiansBody(F32 degrees) {
    return St(Ext(degrees) * Ext(F32(3.1415927f)) / Ext(F32(180.0f)));
}

PHYSICS_BEHIND_ENTRY void ReduceOffsetPairBody(F32& side, F32& vertical, F32 a, F32 b, F32 r) {
    F32 length;
    physics::Normalize2D(side, vertical, &length);
    const F32 u = St(length * r);
    const F32 w = St(b + r);
    const F32 x = (Ext(a) / Ext(b) > Ext(u) / Ext(w)) ? St(Ext(u) * Ext(b) / Ext(w)) : a;
    // (L - x / r) stays extended and scales each component of the unit direction.
    const Ext scale = Ext(length) - Ext(x) / Ext(r);
    side = St(scale * Ext(side));
    vertical = St(scale * Ext(vertical));
}

}  // namespace

F32 ElevationToRadians(F32 degrees) {
    physics::PhysicsEntry entry;
    return ElevationToRadiansBody(degrees);
}

void ReduceOffsetPair(F32& side, F32& vertical, F32 a, F32 b, F32 radiusCm) {
    if (a.Bits() << 1 == 0) return;  // a = +0 or -0
    physics::PhysicsEntry entry;
    ReduceOffsetPairBody(side, vertical, a, b, radiusCm);
}

}  // namespace table
