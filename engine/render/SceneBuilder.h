#pragma once
// Builds render objects (textures, materials, meshes, scene nodes, sprites, scenes) from the plain
// records of a resource group. Objects are made once per group record and shared.

#include <map>
#include <memory>

#include "engine/render/Scene.h"
#include "engine/resource/ResourceGroup.h"

// The package vertex-format word keeps normals at 0x4 and colour at 0x10; the device word has
// them at 0x2 and 0x4. Texture sets and the vertex layout are the same.
std::uint32_t DeviceFormatOf(std::uint32_t packageFormat);
platform::LightRecord DirectionalLightOf(const DirectionalLightData& data);
platform::LightRecord PointLightOf(const PointLightData& data);
void ApplyCameraData(Camera& camera, const CameraData& data, float aspect);

class SceneBuilder {
public:
    SceneBuilder(RenderDevice& device, const ResourceGroup& group) : device_(device), group_(group) {}

    // Null when the id names no resource or the record cannot be drawn.
    TexturePtr GetTexture(std::uint32_t id);
    MaterialPtr GetMaterial(std::uint32_t id);
    MeshPtr GetMesh(std::uint32_t id);
    // A node tree of the model placed with a world matrix; null for a missing model.
    SceneNodePtr BuildModel(std::uint32_t modelId, const Matrix4f& world);
    SpritePtr BuildSprite(const SceneSpriteData& data);
    std::unique_ptr<Scene> BuildScene(const std::string& name, const SceneInfoData& info, float aspect);

private:
    void AddMaterialColours(const MeshData& data, std::uint32_t& format, std::vector<std::uint8_t>& vertices);

    RenderDevice& device_;
    const ResourceGroup& group_;
    std::map<std::uint32_t, TexturePtr> textures_;
    std::map<std::uint32_t, MaterialPtr> materials_;
    std::map<std::uint32_t, MeshPtr> meshes_;
};
