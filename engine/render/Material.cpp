#include "engine/render/Material.h"

Material::Material(const Material& other)
    : flags(other.flags),
      lit(other.lit),
      lightingOff(other.lightingOff),
      specular(other.specular),
      slots(other.slots),
      stages(other.stages),
      colours(other.colours) {}

const MaterialStage* Material::Stage(int slot) const {
    if (slot < 0 || slot >= kStageSlots) return nullptr;
    std::uint16_t record = slots[slot];
    if (record == kNoSlot || record >= stages.size()) return nullptr;
    return &stages[record];
}

Texture* Material::SlotTexture(int slot) const {
    const MaterialStage* stage = Stage(slot);
    return stage ? stage->texture.get() : nullptr;
}

bool Material::UsesTexture(const Texture* texture) const {
    for (const auto& stage : stages)
        if (stage.texture.get() == texture) return true;
    return false;
}

void Material::SetStage(int slot, TexturePtr texture, std::uint32_t word) {
    if (slot < 0 || slot >= kStageSlots) return;
    if (slots[slot] == kNoSlot || slots[slot] >= stages.size()) {
        slots[slot] = static_cast<std::uint16_t>(stages.size());
        stages.emplace_back();
    }
    MaterialStage& stage = stages[slots[slot]];
    stage.texture = std::move(texture);
    stage.word = word;
    flags |= RenderStateBit(slot);
}
