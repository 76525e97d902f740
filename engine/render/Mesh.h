#pragma once
// Mesh (a vertex array in the engine vertex format shared by its parts) and MeshPart (16-bit
// index triples into the mesh's vertices, with one material).

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/Material.h"
#include "engine/render/RenderIds.h"
#include "engine/render/RenderMath.h"

class Mesh;

class MeshPart {
public:
    std::uint32_t Id() const { return id_; }
    std::uint32_t TriangleCount() const { return static_cast<std::uint32_t>(indices.size() / 3); }
    // Lowest and highest vertex index used (0, 0 when there are no indices).
    void IndexRange(std::uint32_t& lowest, std::uint32_t& highest) const;
    bool IsHidden() const { return hidden == 1; }

    Mesh* mesh = nullptr;  // owner
    MaterialPtr material;
    std::uint32_t hidden = 0;  // 1 = not drawn
    float sortValue = 0;       // blended parts: higher is drawn first
    BoundingSphere sphere;
    std::vector<std::uint16_t> indices;

private:
    std::uint32_t id_ = NextRenderId();
};

using MeshPartPtr = std::shared_ptr<MeshPart>;

class Mesh {
public:
    struct Geometry {
        std::uint32_t format = platform::vertex_format::kPosition;
        std::uint32_t vertexCount = 0;
        std::uint32_t byteSize = 0;
        std::int32_t placement = -1;  // first vertex in its static buffer set; -1 = not placed
    };
    struct Visibility {
        std::uint8_t visible = 1;
        float viewDepth = 0;  // also the sort value of sprites
        std::uint8_t extendedStages = 0;
        std::uint8_t positionsInWorld = 0;
        std::uint8_t dynamic = 0;
    };

    Mesh() = default;
    // A deep copy: parts and their back pointers are new; materials are shared until written.
    Mesh(const Mesh& other);
    Mesh& operator=(const Mesh&) = delete;

    std::uint32_t Id() const { return id_; }
    std::uint32_t Stride() const { return platform::vertex_format::Stride(geometry.format); }
    // Replaces the vertex array; bytes must be a whole number of vertices.
    bool SetVertices(std::uint32_t format, std::vector<std::uint8_t> bytes);
    MeshPart& AddPart(MaterialPtr material, std::vector<std::uint16_t> indices);
    Vector3f Position(std::uint32_t vertex) const;
    void SetPosition(std::uint32_t vertex, const Vector3f& p);
    // Recomputes the mesh's and its parts' bounding spheres from the positions.
    void UpdateBounds();

    // Copy-on-write access: a part or material shared with another owner is copied first.
    MeshPart& MutablePart(std::size_t index);
    Material& MutableMaterial(std::size_t partIndex);

    std::vector<MeshPartPtr> parts;
    Geometry geometry;
    Visibility visibility;
    std::uint32_t animationWord = 0;  // non-zero: vertex animation (filed as dynamic)
    BoundingSphere sphere;
    std::vector<std::uint8_t> vertices;

private:
    std::uint32_t id_ = NextRenderId();
};

using MeshPtr = std::shared_ptr<Mesh>;
