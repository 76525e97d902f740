#include "tools/resgen/MeshBuilder.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr float kPi = 3.14159265f;

Float3 Sub(Float3 a, Float3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

float Length(Float3 v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

BoundingSphere BoundsOf(const std::vector<Float3>& points, const std::vector<uint16_t>* only) {
    Float3 lo{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
              std::numeric_limits<float>::max()};
    Float3 hi{-lo.x, -lo.y, -lo.z};
    auto take = [&](const Float3& p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    };
    if (only != nullptr) {
        for (uint16_t i : *only) take(points[i]);
    } else {
        for (const auto& p : points) take(p);
    }
    if (lo.x > hi.x) return {};
    const Float3 c{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    float r = 0;
    auto grow = [&](const Float3& p) { r = std::max(r, Length(Sub(p, c))); };
    if (only != nullptr) {
        for (uint16_t i : *only) grow(points[i]);
    } else {
        for (const auto& p : points) grow(p);
    }
    return {c, r};
}

}  // namespace

uint16_t MeshBuilder::Vertex(Float3 p, Float3 n, Float2 uv) {
    positions_.push_back(p);
    normals_.push_back(n);
    uvs_.push_back(uv);
    return static_cast<uint16_t>(positions_.size() - 1);
}

void MeshBuilder::Triangle(uint32_t material, uint16_t a, uint16_t b, uint16_t c) {
    auto& indices = parts_[material];
    indices.push_back(a), indices.push_back(b), indices.push_back(c);
}

// Corners counter-clockwise seen from the side the normal points to.
void MeshBuilder::Quad(uint32_t material, Float3 a, Float3 b, Float3 c, Float3 d, Float3 n, Float2 uvScale) {
    const uint16_t i0 = Vertex(a, n, {0, uvScale.y});
    const uint16_t i1 = Vertex(b, n, {uvScale.x, uvScale.y});
    const uint16_t i2 = Vertex(c, n, {uvScale.x, 0});
    const uint16_t i3 = Vertex(d, n, {0, 0});
    Triangle(material, i0, i1, i2);
    Triangle(material, i0, i2, i3);
}

void MeshBuilder::AddBox(uint32_t m, Float3 lo, Float3 hi) {
    const float x0 = lo.x, y0 = lo.y, z0 = lo.z, x1 = hi.x, y1 = hi.y, z1 = hi.z;
    Quad(m, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}, {0, 0, 1});   // top
    Quad(m, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}, {x0, y0, z0}, {0, 0, -1});  // bottom
    Quad(m, {x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}, {0, -1, 0});  // -y
    Quad(m, {x1, y1, z0}, {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {0, 1, 0});   // +y
    Quad(m, {x0, y1, z0}, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {-1, 0, 0});  // -x
    Quad(m, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}, {1, 0, 0});   // +x
}

void MeshBuilder::AddCylinderX(uint32_t m, float x0, float x1, float r0, float r1, int segments) {
    const float slope = (r0 - r1) / (x1 - x0);
    std::vector<uint16_t> ring0, ring1;
    for (int i = 0; i <= segments; ++i) {
        const float a = 2 * kPi * i / segments;
        const float c = std::cos(a), s = std::sin(a);
        const float nl = std::sqrt(1 + slope * slope);
        const Float3 n{slope / nl, c / nl, s / nl};
        const float u = float(i) / segments;
        ring0.push_back(Vertex({x0, r0 * c, r0 * s}, n, {u, 1}));
        ring1.push_back(Vertex({x1, r1 * c, r1 * s}, n, {u, 0}));
    }
    for (int i = 0; i < segments; ++i) {
        Triangle(m, ring0[i], ring0[i + 1], ring1[i + 1]);
        Triangle(m, ring0[i], ring1[i + 1], ring1[i]);
    }
    for (int end = 0; end < 2; ++end) {
        const float x = end == 0 ? x0 : x1, r = end == 0 ? r0 : r1;
        const Float3 n{end == 0 ? -1.0f : 1.0f, 0, 0};
        const uint16_t center = Vertex({x, 0, 0}, n, {0.5f, 0.5f});
        std::vector<uint16_t> rim;
        for (int i = 0; i <= segments; ++i) {
            const float a = 2 * kPi * i / segments;
            rim.push_back(Vertex({x, r * std::cos(a), r * std::sin(a)}, n,
                                 {0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)}));
        }
        for (int i = 0; i < segments; ++i) {
            if (end == 0) {
                Triangle(m, center, rim[i + 1], rim[i]);
            } else {
                Triangle(m, center, rim[i], rim[i + 1]);
            }
        }
    }
}

void MeshBuilder::AddDiscZ(uint32_t m, Float3 c, float radius, int segments) {
    const uint16_t center = Vertex(c, {0, 0, 1}, {0.5f, 0.5f});
    std::vector<uint16_t> rim;
    for (int i = 0; i <= segments; ++i) {
        const float a = 2 * kPi * i / segments;
        rim.push_back(Vertex({c.x + radius * std::cos(a), c.y + radius * std::sin(a), c.z}, {0, 0, 1},
                             {0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)}));
    }
    for (int i = 0; i < segments; ++i) Triangle(m, center, rim[i], rim[i + 1]);
}

void MeshBuilder::AddSphere(uint32_t m, Float3 c, float radius, int slices, int stacks) {
    std::vector<std::vector<uint16_t>> rows;
    for (int j = 0; j <= stacks; ++j) {
        const float theta = kPi * j / stacks;  // from +z
        std::vector<uint16_t> row;
        for (int i = 0; i <= slices; ++i) {
            const float phi = 2 * kPi * i / slices;
            const Float3 n{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
            // u grows clockwise seen from above: the engine's view is left-handed (looking along
            // +x, +y is on the right), so an image wrapped this way reads as drawn, not mirrored.
            row.push_back(Vertex({c.x + radius * n.x, c.y + radius * n.y, c.z + radius * n.z}, n,
                                 {float(slices - i) / slices, float(j) / stacks}));
        }
        rows.push_back(std::move(row));
    }
    for (int j = 0; j < stacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            Triangle(m, rows[j][i], rows[j + 1][i], rows[j + 1][i + 1]);
            Triangle(m, rows[j][i], rows[j + 1][i + 1], rows[j][i + 1]);
        }
    }
}

void MeshBuilder::AddQuadZ(uint32_t m, float x0, float y0, float x1, float y1, float z, float repeat) {
    Quad(m, {x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}, {0, 0, 1}, {repeat, repeat});
}

MeshData MeshBuilder::Build() const {
    MeshData mesh;
    mesh.vertexFormat = kFormat;
    mesh.vertexCount = static_cast<uint32_t>(positions_.size());
    const uint32_t stride = vertex_format::Stride(kFormat);
    mesh.vertices.resize(size_t(stride) * positions_.size());
    for (size_t i = 0; i < positions_.size(); ++i) {
        const float v[8] = {positions_[i].x, positions_[i].y, positions_[i].z, normals_[i].x,
                            normals_[i].y,   normals_[i].z,   uvs_[i].x,       uvs_[i].y};
        std::memcpy(mesh.vertices.data() + i * stride, v, sizeof(v));
    }
    for (const auto& [material, indices] : parts_) {
        mesh.parts.push_back({material, indices, BoundsOf(positions_, &indices)});
    }
    mesh.bounds = BoundsOf(positions_, nullptr);
    return mesh;
}
