#pragma once
// Constants and codes of the render subsystem.

#include <cstdint>

constexpr int kStageSlots = 8;
constexpr std::uint16_t kNoSlot = 0xFFFF;
constexpr std::uint32_t kNoCullModeOverride = 0xFFFFFFFF;
constexpr std::uint16_t kNoDynamicIndexBuffer = 0xFFFF;

// Stage-mask bit of each stage slot (slot 0 diffuse map, 2 bump environment map, 6 light map).
constexpr std::uint32_t kStageBit[kStageSlots] = {1, 16, 32, 64, 4, 8, 2, 128};
constexpr std::uint32_t RenderStateBit(int slot) {
    return kStageBit[slot];
}
constexpr int kDiffuseSlot = 0;
constexpr int kBumpSlot = 2;
constexpr int kLightMapSlot = 6;
constexpr std::uint32_t kStageMaskBits = 0xFF;
// Bits cleared from the material flag word when a mesh has no extended stages.
constexpr std::uint32_t kExtendedStageBits = 4 | 32 | 64;

// Blend bits of the material flag word (above the stage mask).
namespace material_flags {
constexpr std::uint32_t kAdditiveBlend = 0x100;  // blended parts add instead of mixing
constexpr std::uint32_t kLightMap2x = 0x200;     // the light map stage doubles
}  // namespace material_flags

// Alpha reference values of the opaque and blended alpha modes.
constexpr std::uint32_t kOpaqueAlphaRef = 0xB0;
constexpr std::uint32_t kBlendedAlphaRef = 0;

// Frame counters, in the order of RenderStatistics and of the overlay labels.
enum class RenderCounter : int {
    Fvf,
    StaticBuffer,
    TextureStageChange,
    LightSwitch,
    LightMap,
    DiffuseMap,
    Batch,
    DpCall,
    FaceSet,
    Vertex,
    Count
};

struct RenderStatistics {
    std::uint32_t counters[static_cast<int>(RenderCounter::Count)] = {};
    std::uint32_t& operator[](RenderCounter c) { return counters[static_cast<int>(c)]; }
    std::uint32_t operator[](RenderCounter c) const { return counters[static_cast<int>(c)]; }
};

inline constexpr const char16_t* kStatisticsLabels[static_cast<int>(RenderCounter::Count)] = {
    u"FVF: ",         u"StaticBuffer: ", u"TextureStageChange: ",
    u"LightSwitch: ", u"LightMap: ",     u"DiffuseMap: ",
    u"Batch: ",       u"DP Call: ",      u"FaceSet: ",
    u"Vertex: "};
