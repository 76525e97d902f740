#pragma once
// Builds meshes of position, normal and one texture coordinate set from simple solids, one part per
// material. Units are cm; the frame is the table's (x along the long side, y across, z up).

#include <map>
#include <vector>

#include "engine/resource/MeshData.h"

class MeshBuilder {
public:
    static constexpr uint32_t kFormat = vertex_format::Make(true, false, 1);

    // Axis-aligned box between two corners.
    void AddBox(uint32_t material, Float3 lo, Float3 hi);
    // Cylinder or cone frustum along +x from x0 to x1, radii r0 and r1, with end caps.
    void AddCylinderX(uint32_t material, float x0, float x1, float r0, float r1, int segments = 16);
    // Flat disc facing +z at height z.
    void AddDiscZ(uint32_t material, Float3 center, float radius, int segments = 20);
    // Sphere with longitude/latitude texture coordinates (u around z from +x, v from the top pole).
    void AddSphere(uint32_t material, Float3 center, float radius, int slices = 20, int stacks = 12);
    // Quad facing +z (texture repeated `repeat` times).
    void AddQuadZ(uint32_t material, float x0, float y0, float x1, float y1, float z, float repeat = 1.0f);

    size_t VertexCount() const { return positions_.size(); }
    MeshData Build() const;

private:
    uint16_t Vertex(Float3 p, Float3 n, Float2 uv);
    void Triangle(uint32_t material, uint16_t a, uint16_t b, uint16_t c);
    void Quad(uint32_t material, Float3 a, Float3 b, Float3 c, Float3 d, Float3 n, Float2 uvScale = {1, 1});

    std::vector<Float3> positions_;
    std::vector<Float3> normals_;
    std::vector<Float2> uvs_;
    std::map<uint32_t, std::vector<uint16_t>> parts_;  // material id -> indices, in material order
};
