#pragma once
// Material: the flag word (stage mask bits and blend bits), the lighting bytes, the eight stage
// slots and the stage records they refer to.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/RenderConstants.h"
#include "engine/render/RenderIds.h"
#include "engine/render/Texture.h"
#include "platform/video/RenderTypes.h"

// Texture scrolling: u period from (a, c), v period from (b, c).
struct AnimationRecord {
    float a = 0, b = 0, c = 0;
};

struct BumpRecord {
    float scale = 1;
    std::uint8_t rotate = 0;
    float period = 0;  // seconds
    std::uint32_t id = NextRenderId();
};

struct MaterialStage {
    TexturePtr texture;
    std::uint32_t word = 0;
    std::shared_ptr<AnimationRecord> animation;
    std::shared_ptr<BumpRecord> bump;
};

class Material {
public:
    Material() = default;
    // A copy is a new material with a new identity.
    Material(const Material& other);
    Material& operator=(const Material&) = delete;

    std::uint32_t Id() const { return id_; }

    // Stage record of a slot, or null when the slot is not used.
    const MaterialStage* Stage(int slot) const;
    Texture* SlotTexture(int slot) const;
    bool UsesTexture(const Texture* texture) const;
    // Puts a texture into a slot (adding a stage record when the slot was empty) and sets the
    // slot's stage-mask bit.
    void SetStage(int slot, TexturePtr texture, std::uint32_t word = 0);

    std::uint32_t flags = 0;
    std::uint8_t lit = 1;
    std::uint8_t lightingOff = 0;
    std::uint8_t specular = 0;
    std::array<std::uint16_t, kStageSlots> slots{kNoSlot, kNoSlot, kNoSlot, kNoSlot,
                                                 kNoSlot, kNoSlot, kNoSlot, kNoSlot};
    std::vector<MaterialStage> stages;
    platform::MaterialRecord colours;

private:
    std::uint32_t id_ = NextRenderId();
};

using MaterialPtr = std::shared_ptr<Material>;
