#pragma once
// Plain material record: flag word, lighting bytes, eight stage slots and the stage records.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/core/Text.h"
#include "engine/resource/ResourceTypes.h"

constexpr int kMaterialStageSlots = 8;
constexpr uint16_t kUnusedStageSlot = 0xFFFF;

// Scrolling texture: periods a (u) and b (v) and the speed factor c, as the render tree reads them.
struct TextureAnimationData {
    float a = 0.0f, b = 0.0f, c = 0.0f;
    bool operator==(const TextureAnimationData&) const = default;
};

struct BumpParamsData {
    float scale = 1.0f;
    uint8_t rotate = 0;
    float period = 0.0f;  // seconds per turn when rotating
    bool operator==(const BumpParamsData&) const = default;
};

// One stage record: texture (TEXTURE resource of the same group, by id; the name is kept for
// tools and logs), a 32-bit stage word, optional animation and bump records.
struct MaterialStageData {
    uint32_t textureId = kEmptyResourceId;
    WString textureName;
    uint32_t word = 0;
    std::optional<TextureAnimationData> animation;
    std::optional<BumpParamsData> bump;
    bool operator==(const MaterialStageData&) const = default;
};

struct MaterialData {
    // Stage mask (slot i present when its render-state bit is set) and blend bits.
    uint32_t flags = 0;
    uint8_t lit = 1;
    uint8_t lightingOff = 0;
    uint8_t specular = 0;
    // Index into `stages` for each of the eight slots; kUnusedStageSlot = slot not used.
    std::array<uint16_t, kMaterialStageSlots> slots = {kUnusedStageSlot, kUnusedStageSlot, kUnusedStageSlot,
                                                       kUnusedStageSlot, kUnusedStageSlot, kUnusedStageSlot,
                                                       kUnusedStageSlot, kUnusedStageSlot};
    std::vector<MaterialStageData> stages;
    // Fixed-function material colours (r, g, b, a) and specular power.
    Float4 diffuse = {1, 1, 1, 1};
    Float4 ambient = {1, 1, 1, 1};
    Float4 specularColor = {0, 0, 0, 1};
    Float4 emissive = {0, 0, 0, 0};
    float power = 0.0f;
    bool operator==(const MaterialData&) const = default;
};
