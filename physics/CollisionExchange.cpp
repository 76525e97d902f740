#include "physics/CollisionExchange.h"

namespace physics {

namespace {

// (f x n) / i per component, each product difference and quotient stored.
Vector3 SpinTurn(const Vector3& f, const Vector3& n, F32 i) {
    return Vector3(St(St(f.y * n.z - f.z * n.y) / i), St(St(f.z * n.x - f.x * n.z) / i),
                   St(St(f.x * n.y - f.y * n.x) / i));
}

}  // namespace

Vector3 ContactSpin(const Vector3& w, const Vector3& n, F32 r) {
    return Vector3(St(St(n.z * w.y - w.z * n.y) * r), St(St(w.z * n.x - w.x * n.z) * r),
                   St(St(w.x * n.y - w.y * n.x) * r));
}

PairFriction MixFriction(const Vector3& slideA, const Vector3& slideB, F32 mix) {
    return PairFriction{Vector3(St(-slideA.x + St(mix * slideB.x)), St(-slideA.y + St(mix * slideB.y)),
                                St(-slideA.z + St(mix * slideB.z))),
                        Vector3(St(slideB.x + St(mix * -slideA.x)), St(slideB.y + St(mix * -slideA.y)),
                                St(slideB.z + St(mix * -slideA.z)))};
}

void TurnSpins(Ball& a, Ball& b, const PairFriction& f, const Vector3& n, F32 inertiaA, F32 inertiaB) {
    const Vector3 da = SpinTurn(f.onA, n, inertiaA);
    a.spin = Vector3(St(a.spin.x + da.x), St(a.spin.y + da.y), St(a.spin.z + da.z));
    const Vector3 db = SpinTurn(f.fromB, n, inertiaB);
    b.spin = Vector3(St(b.spin.x + db.x), St(b.spin.y + db.y), St(b.spin.z + db.z));
}

}  // namespace physics
