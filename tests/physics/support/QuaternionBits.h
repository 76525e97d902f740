#pragma once
// Bit comparisons of quaternions for the tests of the packed paths.

#include "physics/MathTypes.h"

namespace physics::testing {

inline bool SameBits(const Quaternion& a, const Quaternion& b) {
    return a.x.Bits() == b.x.Bits() && a.y.Bits() == b.y.Bits() && a.z.Bits() == b.z.Bits() &&
           a.w.Bits() == b.w.Bits();
}

// As SameBits, except that any NaN matches any NaN: which operand's NaN an operation passes on
// depends on the operand order the compiler picks for a commutative operation.
inline bool SameBitsOrBothNaN(const Quaternion& a, const Quaternion& b) {
    auto same = [](F32 u, F32 v) { return u.Bits() == v.Bits() || (u.v != u.v && v.v != v.v); };
    return same(a.x, b.x) && same(a.y, b.y) && same(a.z, b.z) && same(a.w, b.w);
}

}  // namespace physics::testing
