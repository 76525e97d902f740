#pragma once
// The math helpers that the renderer and the table world use beside the physics: 4x4 matrices
// (row vectors, translation in the fourth row), colour blending and the aim yaw. Their bits are
// not shared between clients.

#include <cstdint>

#include "physics/MathTypes.h"

namespace physics {

struct Matrix4 {
    F32 m[4][4];

    static Matrix4 Identity();
    void FromQuaternion(const Quaternion& q);
    Matrix4& operator*=(const Matrix4& b);
    // Gauss-Jordan elimination in double precision with partial pivoting; a singular matrix
    // gives the identity.
    Matrix4& GetInverse(Matrix4& out) const;
};

Matrix4& MatrixMultiply(Matrix4& out, const Matrix4& a, const Matrix4& b);

// Per channel of two ARGB colours: a + (b - a) t, each channel clamped to 0..255.
std::uint32_t LerpColor(std::uint32_t a, std::uint32_t b, F32 t);

struct AimState {
    F32 yaw;
    // Wraps into [0, 360] (360 itself stays); a non-finite angle becomes 0.
    void SetYawDegrees(F32 angle);
};

}  // namespace physics
