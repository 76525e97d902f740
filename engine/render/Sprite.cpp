#include "engine/render/Sprite.h"

#include <cstring>

#include "engine/render/RenderDevice.h"

std::shared_ptr<Sprite> Sprite::CreateQuad(TexturePtr texture, float width, float height) {
    auto sprite = std::make_shared<Sprite>();
    sprite->width = width;
    sprite->height = height;
    sprite->pivotX = width / 2;
    sprite->pivotY = height / 2;
    sprite->imageWidth = texture ? static_cast<float>(texture->Width()) : width;
    sprite->imageHeight = texture ? static_cast<float>(texture->Height()) : height;
    auto mesh = std::make_shared<Mesh>();
    using namespace platform::vertex_format;
    const std::uint32_t format = kPosition | kDiffuse | TexSets(1);
    struct Vertex {
        float x, y, z;
        std::uint32_t colour;
        float u, v;
    };
    float l = -width / 2, r = width / 2, t = height / 2, b = -height / 2;
    Vertex quad[4] = {{l, t, 0, 0xFFFFFFFF, 0, 0},
                      {r, t, 0, 0xFFFFFFFF, 1, 0},
                      {r, b, 0, 0xFFFFFFFF, 1, 1},
                      {l, b, 0, 0xFFFFFFFF, 0, 1}};
    std::vector<std::uint8_t> bytes(sizeof quad);
    std::memcpy(bytes.data(), quad, sizeof quad);
    mesh->SetVertices(format, std::move(bytes));
    auto material = std::make_shared<Material>();
    material->lit = 0;
    if (texture) material->SetStage(kDiffuseSlot, std::move(texture));
    mesh->AddPart(material, {0, 1, 2, 0, 2, 3});
    mesh->UpdateBounds();
    sprite->mesh = mesh;
    return sprite;
}

Texture* Sprite::FirstTexture() const {
    if (!mesh || mesh->parts.empty() || !mesh->parts[0]->material) return nullptr;
    const Material& material = *mesh->parts[0]->material;
    return material.stages.empty() ? nullptr : material.stages[0].texture.get();
}

bool Sprite::Render(RenderDevice& device, std::uint32_t& verticesDrawn) {
    if (!mesh) return false;
    if (!device.SetAlphaMode(alphaMode) || !device.SetMaterialAlpha(alpha) || !device.SetCullMode(cullMode))
        return false;
    if (!device.SetTransform(platform::TransformKind::World, &world)) return false;
    for (const auto& part : mesh->parts) {
        if (part->IsHidden()) continue;
        bool normals = mesh->geometry.format & platform::vertex_format::kNormal;
        if (!device.DrawPart(*part, normals, verticesDrawn)) return false;
    }
    return true;
}

bool Sprite::Restore() {
    if (!mesh) return true;
    for (const auto& part : mesh->parts)
        if (part->material)
            for (auto& stage : part->material->stages)
                if (stage.texture && !stage.texture->Restore()) return false;
    return true;
}

void Sprite::Release() {
    if (!mesh) return;
    for (const auto& part : mesh->parts)
        if (part->material)
            for (auto& stage : part->material->stages)
                if (stage.texture) stage.texture->Release();
}
