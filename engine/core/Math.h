#pragma once
// The float value types every layer above the engine core shares: a 3-vector and a 4x4 matrix with
// their helpers. Matrices are row-vector (p' = p * M) with the translation in the fourth row,
// left-handed, depth 0..1: the layout the render backends load as is.

#include <cmath>
#include <limits>
#include <utility>

#include "platform/video/RenderTypes.h"

// The float epsilon the client's comparisons and small-value cut-offs use.
constexpr float kFloatEpsilon = std::numeric_limits<float>::epsilon();

struct Vector3f {
    float x = 0, y = 0, z = 0;
    Vector3f operator+(const Vector3f& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vector3f operator-(const Vector3f& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vector3f operator*(float s) const { return {x * s, y * s, z * s}; }
    Vector3f operator-() const { return {-x, -y, -z}; }
    bool operator==(const Vector3f&) const = default;
};

inline float Dot(const Vector3f& a, const Vector3f& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector3f Cross(const Vector3f& a, const Vector3f& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vector3f& v) {
    return std::sqrt(Dot(v, v));
}
inline Vector3f Normalize(const Vector3f& v) {
    float length = Length(v);
    return length > 0 ? v * (1.0f / length) : v;
}

using Matrix4f = platform::RawMatrix;

inline float& At(Matrix4f& m, int row, int column) {
    return m.m[row * 4 + column];
}
inline float At(const Matrix4f& m, int row, int column) {
    return m.m[row * 4 + column];
}

inline Matrix4f Multiply(const Matrix4f& a, const Matrix4f& b) {
    Matrix4f r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += At(a, i, k) * At(b, k, j);
            At(r, i, j) = sum;
        }
    return r;
}

inline Matrix4f TranslationMatrix(float x, float y, float z) {
    Matrix4f m;
    At(m, 3, 0) = x;
    At(m, 3, 1) = y;
    At(m, 3, 2) = z;
    return m;
}

inline Matrix4f ScalingMatrix(float x, float y, float z) {
    Matrix4f m;
    At(m, 0, 0) = x;
    At(m, 1, 1) = y;
    At(m, 2, 2) = z;
    return m;
}

inline Vector3f TransformPoint(const Vector3f& p, const Matrix4f& m) {
    return {p.x * At(m, 0, 0) + p.y * At(m, 1, 0) + p.z * At(m, 2, 0) + At(m, 3, 0),
            p.x * At(m, 0, 1) + p.y * At(m, 1, 1) + p.z * At(m, 2, 1) + At(m, 3, 1),
            p.x * At(m, 0, 2) + p.y * At(m, 1, 2) + p.z * At(m, 2, 2) + At(m, 3, 2)};
}

inline Vector3f TransformNormal(const Vector3f& n, const Matrix4f& m) {
    return {n.x * At(m, 0, 0) + n.y * At(m, 1, 0) + n.z * At(m, 2, 0),
            n.x * At(m, 0, 1) + n.y * At(m, 1, 1) + n.z * At(m, 2, 1),
            n.x * At(m, 0, 2) + n.y * At(m, 1, 2) + n.z * At(m, 2, 2)};
}

// Left-handed view matrix looking from eye at target.
inline Matrix4f LookAtMatrix(const Vector3f& eye, const Vector3f& target, const Vector3f& up) {
    Vector3f z = Normalize(target - eye);
    Vector3f x = Normalize(Cross(up, z));
    Vector3f y = Cross(z, x);
    Matrix4f m;
    At(m, 0, 0) = x.x;
    At(m, 0, 1) = y.x;
    At(m, 0, 2) = z.x;
    At(m, 0, 3) = 0;
    At(m, 1, 0) = x.y;
    At(m, 1, 1) = y.y;
    At(m, 1, 2) = z.y;
    At(m, 1, 3) = 0;
    At(m, 2, 0) = x.z;
    At(m, 2, 1) = y.z;
    At(m, 2, 2) = z.z;
    At(m, 2, 3) = 0;
    At(m, 3, 0) = -Dot(x, eye);
    At(m, 3, 1) = -Dot(y, eye);
    At(m, 3, 2) = -Dot(z, eye);
    At(m, 3, 3) = 1;
    return m;
}

// Left-handed perspective projection with depth 0..1; fovY in radians, aspect = width / height.
inline Matrix4f PerspectiveMatrix(float fovY, float aspect, float zNear, float zFar) {
    float yScale = 1.0f / std::tan(fovY / 2);
    float xScale = yScale / (aspect > 0 ? aspect : 1.0f);
    Matrix4f m;
    m.m.fill(0);
    At(m, 0, 0) = xScale;
    At(m, 1, 1) = yScale;
    At(m, 2, 2) = zFar / (zFar - zNear);
    At(m, 2, 3) = 1;
    At(m, 3, 2) = -zNear * zFar / (zFar - zNear);
    return m;
}

// Screen-space projection for 2D drawing: x right, y down, in pixels of a width x height target.
inline Matrix4f ScreenMatrix(float width, float height) {
    Matrix4f m;
    At(m, 0, 0) = 2.0f / width;
    At(m, 1, 1) = -2.0f / height;
    At(m, 3, 0) = -1.0f;
    At(m, 3, 1) = 1.0f;
    return m;
}

// The inverse of a matrix by Gauss-Jordan elimination in double precision with partial pivoting
// on the largest absolute value of the column; false (out untouched) for a singular matrix.
inline bool Invert(const Matrix4f& m, Matrix4f& out) {
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = At(m, r, c);
            a[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (std::fabs(a[pivot][c]) < 1e-20) return false;
        if (pivot != c)
            for (int k = 0; k < 8; ++k) std::swap(a[c][k], a[pivot][k]);
        const double scale = 1.0 / a[c][c];
        for (int k = 0; k < 8; ++k) a[c][k] *= scale;
        for (int r = 0; r < 4; ++r) {
            if (r == c || a[r][c] == 0.0) continue;
            const double f = a[r][c];
            for (int k = 0; k < 8; ++k) a[r][k] -= f * a[c][k];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) At(out, r, c) = static_cast<float>(a[r][c + 4]);
    return true;
}
