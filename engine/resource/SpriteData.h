#pragma once
// Plain SPRITE and SPRITE_ANIMATION records.

#include <cstdint>
#include <vector>

#include "engine/resource/ResourceTypes.h"

// A rectangle of a texture in texels; width or height -1 means the whole texture.
struct TexelRect {
    int32_t x = 0, y = 0, width = -1, height = -1;
    bool operator==(const TexelRect&) const = default;
};

struct SpriteAnimationFrame {
    TexelRect rect;
    uint32_t durationMs = 100;
    bool operator==(const SpriteAnimationFrame&) const = default;
};

// Frames cut from one texture (TEXTURE resource of the same group), played in order.
struct SpriteAnimationData {
    uint32_t textureId = kEmptyResourceId;
    uint8_t loop = 1;
    std::vector<SpriteAnimationFrame> frames;
    bool operator==(const SpriteAnimationData&) const = default;
};

// A camera-facing or flat quad with a texture rectangle, optionally animated.
struct SpriteData {
    uint32_t textureId = kEmptyResourceId;
    uint32_t animationId = kEmptyResourceId;  // SPRITE_ANIMATION of the same group, or none
    float width = 1.0f, height = 1.0f;
    Float2 pivot = {0.5f, 0.5f};
    TexelRect rect;
    uint16_t blendMode = 1;
    float alpha = 1.0f;
    bool operator==(const SpriteData&) const = default;
};
