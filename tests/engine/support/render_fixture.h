#pragma once
// Test fixture of the render code: a render device over a RecordingBackend, a virtual clock, and
// builders for meshes, materials and scene nodes.

#include <memory>
#include <string>
#include <vector>

#include "engine/render/RenderDevice.h"
#include "engine/render/RenderSortTree.h"
#include "engine/render/Scene.h"
#include "engine/render/SceneNode.h"
#include "platform/sys/Clock.h"
#include "platform/video/RecordingBackend.h"

namespace render_test {

struct Fixture {
    Fixture();
    ~Fixture();

    platform::VirtualClock clock{1000};
    platform::RecordingBackend* backend;  // owned by device
    std::unique_ptr<RenderDevice> device;

    TexturePtr MakeTexture(std::uint32_t size = 4);
};

// A grid mesh of `triangles` triangles over `vertices` vertices (position, normal, colour,
// one texture set) with one part per material given.
MeshPtr MakeMesh(std::uint32_t format, std::uint32_t vertexCount, const std::vector<MaterialPtr>& materials,
                 std::uint32_t trianglesPerPart);
MaterialPtr MakeMaterial(std::uint32_t flags, TexturePtr diffuse = nullptr, std::uint8_t lit = 1);
SceneNodePtr MakeNode(MeshPtr mesh, std::uint16_t blend = 0);

constexpr std::uint32_t kLitFormat = platform::vertex_format::kPosition | platform::vertex_format::kNormal |
                                     platform::vertex_format::kDiffuse | platform::vertex_format::TexSets(1);

// The label path of every node that holds parts, e.g. "Root>Nodes>Alpha0>VF(0x107)>...>Leaf[2]".
std::vector<std::string> TreePaths(RenderSortTree& tree);

}  // namespace render_test

namespace render_test {

// An axis-aligned box of the lit format (normals per face, colour, one texture set).
MeshPtr MakeBox(const Vector3f& low, const Vector3f& high, std::uint32_t argb, MaterialPtr material);
// A quad in the XZ plane at height y, facing up.
MeshPtr MakeFloorQuad(float x0, float z0, float x1, float z1, float y, std::uint32_t argb,
                      MaterialPtr material);
// A small table scene: bed, four cushions, a blended marker and one directional light.
void BuildTableScene(Scene& scene, RenderDevice& device);

}  // namespace render_test
