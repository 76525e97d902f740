#include "physics/MathTypes.h"

namespace physics {

void Vector3::Rotate(const Quaternion& q) {
    Vector3 u(q.x, q.y, q.z);
    Vector3 t;
    Vec3Cross(t, u, *this);
    t *= F32(2.0f);
    Vector3 ut;
    Vec3Cross(ut, u, t);
    Vector3 wt = t;
    wt *= q.w;
    *this += wt;
    *this += ut;
}

Vector3& Vec3Cross(Vector3& out, const Vector3& a, const Vector3& b) {
    F32 z = St(a.x * b.y - a.y * b.x);
    F32 y = St(a.z * b.x - b.z * a.x);
    F32 x = St(a.y * b.z - a.z * b.y);
    out = Vector3(x, y, z);
    return out;
}

void Quaternion::Normalize(F32* outLength) {
    const F32 square = St(((x * x + y * y) + z * z) + w * w);
    F32 len, inv;
    if (!NearUnitRoot(square, len, inv)) len = SqrtF(square);
    if (AbsF(len) < kFltEpsilon) {
        x = y = z = w = F32(0.0f);
    } else if (len != F32(1.0f)) {
        DivideFourOnSse(&x, len);
    }
    if (outLength) *outLength = len;
}

void Quaternion::FromAxisAngle(F32 angle, const Vector3& axis) {
    F32 half = St(angle * 0.5f);
    F32 s = SinF(half);
    Vector3 u = axis;
    u.Normalize();
    StoreFour(&x, St(s * u.x), St(s * u.y), St(s * u.z), CosF(half));
}

Quaternion& Quaternion::operator*=(const Quaternion& b) {
    static_assert(sizeof(Quaternion) == 4 * sizeof(F32), "the packed product reads x, y, z, w in a row");
    if (QuaternionProductOnSse(&x, &b.x, &x)) [[likely]]
        return *this;
    const Quaternion a = *this;
    x = St(((a.y * b.z + b.w * a.x) - a.z * b.y) + a.w * b.x);
    y = St(((b.y * a.w + b.w * a.y) - a.x * b.z) + a.z * b.x);
    z = St(((b.y * a.x - a.y * b.x) + a.w * b.z) + b.w * a.z);
    w = St(b.w * a.w - ((a.z * b.z + b.x * a.x) + b.y * a.y));
    return *this;
}

bool Quaternion::IsIdentity() const {
    return x == F32(0.0f) && y == F32(0.0f) && z == F32(0.0f) && w == F32(1.0f);
}

Quaternion& Quaternion::GetInverse(Quaternion& out) const {
    F32 len = Length();
    if (AbsF(len) < kFltEpsilon) {
        out = Quaternion(F32(0.0f), F32(0.0f), F32(0.0f), F32(0.0f));
    } else {
        F32 inv = DivF(F32(1.0f), len);
        out = Quaternion(St(-(inv * x)), St(-(inv * y)), St(-(inv * z)), St(inv * w));
    }
    return out;
}

Quaternion& QuatMultiply(Quaternion& out, const Quaternion& a, const Quaternion& b) {
    Quaternion r = a;
    r *= b;
    out = r;
    return out;
}

}  // namespace physics
