#include "engine/render/SceneBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

std::uint32_t DeviceFormatOf(std::uint32_t packageFormat) {
    std::uint32_t format = platform::vertex_format::kPosition;
    if (packageFormat & ::vertex_format::kNormal) format |= platform::vertex_format::kNormal;
    if (packageFormat & ::vertex_format::kDiffuse) format |= platform::vertex_format::kDiffuse;
    return format | platform::vertex_format::TexSets(::vertex_format::TexCoordSets(packageFormat));
}

namespace {

platform::LightRecord LightOf(float r, float g, float b, float intensity, bool diffuse, bool specular) {
    platform::LightRecord light;
    platform::ColorValue colour{r * intensity, g * intensity, b * intensity, intensity};
    light.diffuse = diffuse ? colour : platform::ColorValue{};
    light.specular = specular ? colour : platform::ColorValue{};
    light.ambient = {};
    return light;
}

}  // namespace

platform::LightRecord DirectionalLightOf(const DirectionalLightData& data) {
    platform::LightRecord light =
        LightOf(data.r, data.g, data.b, data.intensity, data.diffuse, data.specular);
    light.type = platform::LightType::Directional;
    light.direction[0] = data.direction.x;
    light.direction[1] = data.direction.y;
    light.direction[2] = data.direction.z;
    return light;
}

platform::LightRecord PointLightOf(const PointLightData& data) {
    platform::LightRecord light =
        LightOf(data.r, data.g, data.b, data.intensity, data.diffuse, data.specular);
    light.type = platform::LightType::Point;
    light.position[0] = data.position.x;
    light.position[1] = data.position.y;
    light.position[2] = data.position.z;
    light.range = data.range;
    light.attenuation0 = data.attenuation0;
    light.attenuation1 = data.attenuation1;
    light.attenuation2 = data.attenuation2;
    return light;
}

void ApplyCameraData(Camera& camera, const CameraData& data, float aspect) {
    camera.id = data.id;
    camera.SetMinDistance(data.minDistance);
    camera.SetMaxDistance(data.maxDistance);
    camera.SetMinPitch(data.minPitch);
    camera.SetMaxPitch(data.maxPitch);
    camera.SetProjectionParams(1024, 768, data.fov, aspect, data.nearPlane, data.farPlane);
    camera.SetLookAt(ToVector(data.eye), ToVector(data.target), ToVector(data.up), ToVector(data.up));
}

TexturePtr SceneBuilder::GetTexture(std::uint32_t id) {
    if (id == kEmptyResourceId) return nullptr;
    auto found = textures_.find(id);
    if (found != textures_.end()) return found->second;
    const auto& resource = group_.GetTextureManager().FindById(id);
    TexturePtr texture;
    if (!resource->IsEmpty() && !resource->data.levels.empty()) {
        const TextureData& data = resource->data;
        const TextureLevel& level = data.levels[0];
        platform::TextureDesc desc{level.width, level.height,
                                   data.format == ::TextureFormat::Dxt1 ? platform::TextureFormat::Dxt1
                                                                        : platform::TextureFormat::Rgba8,
                                   false};
        if (level.pixels.size() >= TextureData::LevelByteSize(data.format, level.width, level.height) &&
            level.width && level.height)
            texture = std::make_shared<Texture>(&device_, desc, level.pixels);
    }
    textures_[id] = texture;
    return texture;
}

MaterialPtr SceneBuilder::GetMaterial(std::uint32_t id) {
    auto found = materials_.find(id);
    if (found != materials_.end()) return found->second;
    const auto& resource = group_.GetMaterialManager().FindById(id);
    auto material = std::make_shared<Material>();
    if (!resource->IsEmpty()) {
        const MaterialData& data = resource->data;
        material->flags = data.flags;
        material->lit = data.lit;
        material->lightingOff = data.lightingOff;
        material->specular = data.specular;
        for (int slot = 0; slot < kStageSlots; ++slot)
            material->slots[slot] = data.slots[slot] < data.stages.size() ? data.slots[slot] : kNoSlot;
        for (const auto& stageData : data.stages) {
            MaterialStage stage;
            stage.texture = GetTexture(stageData.textureId);
            stage.word = stageData.word;
            if (stageData.animation)
                stage.animation = std::make_shared<AnimationRecord>(
                    AnimationRecord{stageData.animation->a, stageData.animation->b, stageData.animation->c});
            if (stageData.bump) {
                stage.bump = std::make_shared<BumpRecord>();
                stage.bump->scale = stageData.bump->scale;
                stage.bump->rotate = stageData.bump->rotate;
                stage.bump->period = stageData.bump->period;
            }
            material->stages.push_back(std::move(stage));
        }
        auto colour = [](const Float4& f) { return platform::ColorValue{f.x, f.y, f.z, f.w}; };
        material->colours.diffuse = colour(data.diffuse);
        material->colours.ambient = colour(data.ambient);
        material->colours.specular = colour(data.specularColor);
        material->colours.emissive = colour(data.emissive);
        material->colours.power = data.power;
    }
    materials_[id] = material;
    return material;
}

// The opaque branch of the sort tree keys parts by flag word only and sets no material colour, so
// a mesh without vertex colours takes its parts' material diffuse colour into its vertices.
void SceneBuilder::AddMaterialColours(const MeshData& data, std::uint32_t& format,
                                      std::vector<std::uint8_t>& vertices) {
    std::uint32_t oldStride = platform::vertex_format::Stride(format);
    std::uint32_t newFormat = format | platform::vertex_format::kDiffuse;
    std::uint32_t newStride = platform::vertex_format::Stride(newFormat);
    std::uint32_t count = data.vertexCount;
    if (vertices.size() != std::size_t{count} * oldStride) return;
    std::vector<std::uint32_t> colours(count, 0xFFFFFFFF);
    std::vector<bool> coloured(count, false);
    auto argb = [](const platform::ColorValue& c) {
        auto channel = [](float v) {
            return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
        };
        return channel(c.a) << 24 | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
    };
    for (const auto& part : data.parts) {
        std::uint32_t colour = argb(GetMaterial(part.materialId)->colours.diffuse);
        for (auto index : part.indices)
            if (index < count && !coloured[index]) colours[index] = colour, coloured[index] = true;
    }
    std::uint32_t split = 12 + ((format & platform::vertex_format::kNormal) ? 12 : 0);
    std::vector<std::uint8_t> expanded(std::size_t{count} * newStride);
    for (std::uint32_t v = 0; v < count; ++v) {
        const std::uint8_t* from = vertices.data() + std::size_t{v} * oldStride;
        std::uint8_t* to = expanded.data() + std::size_t{v} * newStride;
        std::memcpy(to, from, split);
        std::memcpy(to + split, &colours[v], 4);
        std::memcpy(to + split + 4, from + split, oldStride - split);
    }
    vertices.swap(expanded);
    format = newFormat;
}

MeshPtr SceneBuilder::GetMesh(std::uint32_t id) {
    auto found = meshes_.find(id);
    if (found != meshes_.end()) return found->second;
    const auto& resource = group_.GetMeshManager().FindById(id);
    MeshPtr mesh;
    if (!resource->IsEmpty() && ::vertex_format::Stride(resource->data.vertexFormat) != 0) {
        const MeshData& data = resource->data;
        mesh = std::make_shared<Mesh>();
        std::uint32_t format = DeviceFormatOf(data.vertexFormat);
        std::vector<std::uint8_t> vertices = data.vertices;
        if (!(format & platform::vertex_format::kDiffuse)) AddMaterialColours(data, format, vertices);
        if (mesh->SetVertices(format, std::move(vertices))) {
            mesh->visibility.dynamic = data.dynamic;
            for (const auto& partData : data.parts) {
                // Indices past the vertex array would read outside it; such a part is left out.
                bool valid = partData.indices.size() % 3 == 0;
                for (auto index : partData.indices) valid = valid && index < mesh->geometry.vertexCount;
                if (valid) mesh->AddPart(GetMaterial(partData.materialId), partData.indices);
            }
            mesh->UpdateBounds();
        } else {
            mesh.reset();
        }
    }
    meshes_[id] = mesh;
    return mesh;
}

SceneNodePtr SceneBuilder::BuildModel(std::uint32_t modelId, const Matrix4f& world) {
    const auto& resource = group_.GetModelManager().FindById(modelId);
    if (resource->IsEmpty()) return nullptr;
    const ModelData& model = resource->data;
    auto root = std::make_shared<SceneNode>();
    root->name = ToUtf8(resource->name);
    std::vector<SceneNodePtr> nodes;
    for (const auto& data : model.nodes) {
        auto node = std::make_shared<SceneNode>();
        node->name = ToUtf8(data.name);
        Transform local;
        local.matrix.m = data.local.m;
        node->SetLocal(local);
        node->blendMode = data.blendMode;
        node->cullOverride = data.cullMode;
        node->drawOrder = data.drawOrder;
        node->kind = data.flags;
        if (MeshPtr mesh = GetMesh(data.meshId)) node->SetMesh(0, mesh);
        SceneNode* parent = data.parent >= 0 && static_cast<std::size_t>(data.parent) < nodes.size()
                                ? nodes[static_cast<std::size_t>(data.parent)].get()
                                : root.get();
        parent->children.push_back(node);
        nodes.push_back(node);
    }
    Transform placement;
    placement.matrix = world;
    root->SetLocal(placement);
    return root;
}

SpritePtr SceneBuilder::BuildSprite(const SceneSpriteData& data) {
    const auto& resource = group_.GetSpriteManager().FindById(data.spriteId);
    if (resource->IsEmpty()) return nullptr;
    const SpriteData& spriteData = resource->data;
    TexturePtr texture = GetTexture(spriteData.textureId);
    auto sprite = Sprite::CreateQuad(texture, spriteData.width * data.scale, spriteData.height * data.scale);
    sprite->centre = ToVector(data.position);
    sprite->pivotX = spriteData.pivot.x * sprite->width;
    sprite->pivotY = spriteData.pivot.y * sprite->height;
    sprite->alphaMode = spriteData.blendMode <= 1 ? spriteData.blendMode : 1;
    sprite->alpha = spriteData.alpha;
    if (spriteData.rect.width > 0 && spriteData.rect.height > 0) {
        sprite->texelLeft = static_cast<float>(spriteData.rect.x);
        sprite->texelTop = static_cast<float>(spriteData.rect.y);
        sprite->imageWidth = static_cast<float>(spriteData.rect.width);
        sprite->imageHeight = static_cast<float>(spriteData.rect.height);
    }
    sprite->world = TranslationMatrix(data.position.x, data.position.y, data.position.z);
    return sprite;
}

std::unique_ptr<Scene> SceneBuilder::BuildScene(const std::string& name, const SceneInfoData& info,
                                                float aspect) {
    SceneContent content;
    content.ambient = {info.ambient.x, info.ambient.y, info.ambient.z, info.ambient.w};
    content.fog.flags = info.fog.flags;
    content.fog.r = info.fog.r, content.fog.g = info.fog.g, content.fog.b = info.fog.b,
    content.fog.a = info.fog.a;
    content.fog.start = info.fog.start, content.fog.end = info.fog.end,
    content.fog.density = info.fog.density;
    for (const auto& light : info.directionalLights)
        content.directionalLights[light.key] =
            std::make_shared<Light>(DirectionalLightOf(light), light.on != 0);
    for (const auto& light : info.pointLights)
        content.pointLights[light.key] = std::make_shared<Light>(PointLightOf(light), light.on != 0);
    for (const auto& object : info.objects) {
        Matrix4f world;
        world.m = object.world.m;
        if (SceneNodePtr node = BuildModel(object.modelId, world)) {
            node->listFlag = object.listFlag;
            content.objects.push_back(node);
        }
    }
    for (const auto& spriteData : info.sprites)
        if (SpritePtr sprite = BuildSprite(spriteData)) content.sprites[spriteData.key] = sprite;
    auto scene = std::make_unique<Scene>(device_, name, std::move(content));
    scene->clearColor = info.settings.clearColor;
    if (!info.cameras.empty()) {
        scene->Cameras().clear();
        for (const auto& data : info.cameras) {
            auto camera = std::make_shared<Camera>();
            ApplyCameraData(*camera, data, aspect);
            scene->Cameras()[data.id] = camera;
        }
        scene->SetCurrentCamera(scene->Cameras().begin()->first);
    }
    return scene;
}
