#pragma once
// Vectors, quaternions and the 2-D helpers of the physics path. Each component is stored
// (chopped to f32) where the operation writes it; sums run left to right in the order written,
// because every client must reproduce the same bits.

#include "physics/Numeric.h"
#include "physics/PackedQuaternion.h"

namespace physics {

struct Quaternion;

struct Vector3 {
    F32 x, y, z;

    constexpr Vector3() = default;
    constexpr Vector3(F32 x, F32 y, F32 z) : x(x), y(y), z(z) {}

    Vector3& operator+=(const Vector3& v) {
        x = St(v.x + x);
        y = St(v.y + y);
        z = St(v.z + z);
        return *this;
    }
    Vector3& operator-=(const Vector3& v) {
        x = St(x - v.x);
        y = St(y - v.y);
        z = St(z - v.z);
        return *this;
    }
    Vector3& operator*=(F32 s) {
        x = St(s * x);
        y = St(s * y);
        z = St(s * z);
        return *this;
    }
    Vector3& Negated(Vector3& out) const {
        out = Vector3(St(-x), St(-y), St(-z));
        return out;
    }
    bool operator==(const Vector3& v) const { return x == v.x && y == v.y && z == v.z; }
    bool IsZero() const { return x == F32(0.0f) && y == F32(0.0f) && z == F32(0.0f); }

    // (x x + y y) + z z at full precision.
    auto LengthSquared() const { return (x * x + y * y) + z * z; }
    F32 Length() const { return SqrtF(St(LengthSquared())); }
    // Makes the vector unit length, or zero when its length is below FLT_EPSILON.
    void Normalize(F32* outLength = nullptr);
    // Rotates in place by the unit quaternion q (renderer and table world).
    void Rotate(const Quaternion& q);
};

inline Vector3& Vec3Subtract(Vector3& out, const Vector3& a, const Vector3& b) {
    out = Vector3(St(a.x - b.x), St(a.y - b.y), St(a.z - b.z));
    return out;
}
inline Vector3& Vec3Scale(Vector3& out, const Vector3& v, F32 s) {
    out = Vector3(St(s * v.x), St(s * v.y), St(s * v.z));
    return out;
}
// Safe when out aliases a or b.
Vector3& Vec3Cross(Vector3& out, const Vector3& a, const Vector3& b);

struct Quaternion {
    F32 x, y, z, w = F32(1.0f);

    constexpr Quaternion() = default;
    constexpr Quaternion(F32 x, F32 y, F32 z, F32 w) : x(x), y(y), z(z), w(w) {}

    F32 Length() const { return SqrtF(St(((x * x + y * y) + z * z) + w * w)); }
    // Divides by the length; a zero quaternion becomes all zeros (not the identity).
    void Normalize(F32* outLength = nullptr);
    void FromAxisAngle(F32 angle, const Vector3& axis);
    // this = this x b (Hamilton product, this on the left).
    Quaternion& operator*=(const Quaternion& b);
    bool operator==(const Quaternion& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }

    bool IsIdentity() const;
    Quaternion& GetInverse(Quaternion& out) const;
};

Quaternion& QuatMultiply(Quaternion& out, const Quaternion& a, const Quaternion& b);

// The hot helpers are inline: a call costs as much as their arithmetic.

// sqrt of (x x + y y) stored; exactly 0 without a root when that sum is not positive.
inline F32 Length2D(F32 x, F32 y) {
    F32 s = St(x * x + y * y);
    if (!(s > F32(0.0f))) return F32(0.0f);
    return SqrtF(s);
}

inline void Normalize2D(F32& a, F32& b, F32* outLength = nullptr) {
    F32 s = St(a * a + b * b);
    F32 len(0.0f);
    if (!(s > F32(0.0f))) {
        a = b = F32(0.0f);
    } else {
        len = SqrtF(s);
        if (!(len > F32(0.0f))) {
            a = b = F32(0.0f);
        } else {
            a = DivF(a, len);
            b = DivF(b, len);
        }
    }
    if (outLength) *outLength = len;
}

inline void ScaleByInverse2D(F32 len, F32& a, F32& b) {
    if (len > F32(0.0f)) {
        a = DivF(a, len);
        b = DivF(b, len);
    } else {
        a = b = F32(0.0f);
    }
}

inline void Vector3::Normalize(F32* outLength) {
    const F32 square = St(LengthSquared());
    F32 len, inv;
    if (!NearUnitRoot(square, len, inv)) {
        len = SqrtF(square);
        if (AbsF(len) < kFltEpsilon) {
            x = y = z = F32(0.0f);
            if (outLength) *outLength = len;
            return;
        }
        inv = DivF(F32(1.0f), len);
    }
    // Multiplied even by a factor of exactly 1, which leaves the components (finite, since their
    // square is) as they are: whether it is 1 depends on the data, and a mispredicted skip costs
    // more than three products.
    x = St(inv * x);
    y = St(inv * y);
    z = St(inv * z);
    if (outLength) *outLength = len;
}

inline bool IsNearlyZero(F32 f) {
    return AbsF(f) < kFltEpsilon;
}

}  // namespace physics
