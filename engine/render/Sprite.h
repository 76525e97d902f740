#pragma once
// A sprite: a textured mesh drawn after the scene's nodes, with what projected geometry reads of
// it (size, pivot, scale, image and texel rectangle).

#include <cstdint>

#include "engine/render/Mesh.h"

class RenderDevice;

class Sprite {
public:
    // Builds a one-quad mesh of the given size in the XY plane around the pivot.
    static std::shared_ptr<Sprite> CreateQuad(TexturePtr texture, float width, float height);

    // Alpha mode, material alpha, cull mode, then the mesh draw; false without a mesh.
    bool Render(RenderDevice& device, std::uint32_t& verticesDrawn);
    bool Restore();
    void Release();
    Texture* FirstTexture() const;

    MeshPtr mesh;
    Vector3f centre;
    float width = 0, height = 0;
    float pivotX = 0, pivotY = 0;
    float scaleX = 1, scaleY = 1;
    float imageWidth = 0, imageHeight = 0;  // texels of the image inside the texture
    float texelLeft = -1, texelTop = -1;    // -1 = the whole texture
    std::uint16_t word = 1;
    float value = 1.0f;
    std::uint32_t alphaMode = 1;
    float alpha = 1.0f;
    std::int32_t cullMode = -1;
    Matrix4f world;
};

using SpritePtr = std::shared_ptr<Sprite>;
