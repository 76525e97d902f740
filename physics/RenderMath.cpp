#include "physics/RenderMath.h"

#include <cmath>
#include <utility>

namespace physics {

Matrix4 Matrix4::Identity() {
    Matrix4 r{};
    for (int i = 0; i < 4; ++i) r.m[i][i] = F32(1.0f);
    return r;
}

void Matrix4::FromQuaternion(const Quaternion& q) {
    const F32 x = q.x, y = q.y, z = q.z, w = q.w;
    const F32 two(2.0f), zero(0.0f), one(1.0f);
    m[0][0] = St(((x * x - y * y) - z * z) + w * w);
    m[0][1] = St(two * (x * y + w * z));
    m[0][2] = St(two * (x * z - w * y));
    m[0][3] = zero;
    m[1][0] = St(two * (x * y - w * z));
    m[1][1] = St(((y * y - x * x) - z * z) + w * w);
    m[1][2] = St(two * (y * z + w * x));
    m[1][3] = zero;
    m[2][0] = St(two * (x * z + w * y));
    m[2][1] = St(two * (y * z - w * x));
    m[2][2] = St((w * w - (y * y + x * x)) + z * z);
    m[2][3] = zero;
    m[3][0] = m[3][1] = m[3][2] = zero;
    m[3][3] = one;
}

Matrix4& MatrixMultiply(Matrix4& out, const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = St(((a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j]) + a.m[i][2] * b.m[2][j]) +
                           a.m[i][3] * b.m[3][j]);
    out = r;
    return out;
}

Matrix4& Matrix4::operator*=(const Matrix4& b) { return MatrixMultiply(*this, *this, b); }

Matrix4& Matrix4::GetInverse(Matrix4& out) const {
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m[i][j].v;
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (!(std::fabs(a[pivot][col]) > 0.0)) {
            out = Identity();
            return out;
        }
        if (pivot != col)
            for (int j = 0; j < 8; ++j) std::swap(a[pivot][j], a[col][j]);
        const double inv = 1.0 / a[col][col];
        for (int j = 0; j < 8; ++j) a[col][j] *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            const double f = a[r][col];
            for (int j = 0; j < 8; ++j) a[r][j] -= f * a[col][j];
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) out.m[i][j] = F32(static_cast<float>(a[i][j + 4]));
    return out;
}

std::uint32_t LerpColor(std::uint32_t a, std::uint32_t b, F32 t) {
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double ca = (a >> shift) & 0xFF;
        const double cb = (b >> shift) & 0xFF;
        double c = ca + (cb - ca) * t.v;
        if (!(c > 0.0)) c = 0.0;
        if (c > 255.0) c = 255.0;
        result |= static_cast<std::uint32_t>(c) << shift;
    }
    return result;
}

void AimState::SetYawDegrees(F32 angle) {
    double a = angle.v;
    if (!std::isfinite(a)) a = 0.0;
    // Large magnitudes no longer change by adding 360; fold them first.
    if (std::fabs(a) > 1.0e6) a = std::fmod(a, 360.0);
    while (a < 0.0) a += 360.0;
    while (a > 360.0) a -= 360.0;
    yaw = F32(static_cast<float>(a));
}

}  // namespace physics
