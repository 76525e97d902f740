#pragma once
// Lays a sprite's image onto the surfaces of a scene: the triangles of the scene's meshes inside an
// oriented box in front of the sprite are clipped to the box and gathered into one mesh whose
// texture coordinates spread the image across the box.

#include <cstdint>
#include <vector>

#include "engine/render/SceneNode.h"
#include "engine/render/Sprite.h"

// A point p is inside when Dot(normal, p) + distance >= 0.
struct Plane {
    Vector3f normal;
    float distance = 0;
};
using PlaneSet = std::vector<Plane>;

struct ProjectionFrame {
    float uOffset = 0, vOffset = 0, uSize = 1, vSize = 1, uBase = 0, vBase = 0;
    Vector3f origin, uAxis, vAxis, direction;
};

// True unless the sphere lies wholly outside one plane (an empty set gives true).
bool SphereInsidePlanes(const Vector3f& centre, float radius, const PlaneSet& planes);
// Sutherland-Hodgman: clips a convex polygon (points into pool) against each plane in turn.
// New vertices are taken from the pool, which must hold 2 x planes + 3 entries.
void ClipPolygonByPlanes(const PlaneSet& planes, std::vector<Vector3f>& pool, std::size_t& poolUsed,
                         std::vector<const Vector3f*>& polygon);

class ProjectedGeometry {
public:
    ProjectedGeometry();

    void Project(const Sprite& sprite, const SceneNode& sceneRoot, const Vector3f& centre,
                 const Vector3f& axis, const Vector3f& direction, float depth, bool bandFilter);

    const MeshPtr& GetMesh() const { return mesh_; }
    bool IsEmpty() const { return empty_ != 0; }
    const PlaneSet& Planes() const { return planes_; }
    const ProjectionFrame& Frame() const { return frame_; }

    static constexpr std::uint32_t kFormat =
        platform::vertex_format::kPosition | platform::vertex_format::TexSets(1);

private:
    void CollectNodeTriangles(const SceneNode& node);
    void ClipTrianglesIntoMesh(const SceneNode& node, const Mesh& mesh);

    MeshPtr mesh_;
    std::uint16_t word_ = 1;
    float value_ = 1.0f;
    std::uint8_t bandFilter_ = 0;
    std::uint8_t empty_ = 1;
    PlaneSet planes_;
    ProjectionFrame frame_;
    std::vector<float> vertexData_;  // x, y, z, u, v per vertex
    std::vector<std::uint16_t> indices_;
};
