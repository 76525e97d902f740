#pragma once
// Value types shared by the render device (engine/render) and its backends (GL, recording).
// Matrices are row-vector 4x4 float matrices with the translation in the fourth row; depth runs
// from 0 at the near plane to 1 at the far plane.

#include <array>
#include <cstdint>
#include <vector>

namespace platform {

// Device render states that pass the cache. The values are the project's own.
enum class RState : std::uint16_t {
    AlphaBlendEnable,
    AlphaRef,
    AlphaTestEnable,
    SrcBlend,
    DestBlend,
    CullMode,  // CullValue
    Lighting,
    SpecularEnable,
    NormalizeNormals,
    DiffuseMaterialSource,  // 0 material, 1 vertex colour
    AmbientMaterialSource,
    ZEnable,
    ZWriteEnable,
    Ambient,  // ARGB
    FogEnable,
    FogColor,  // ARGB
    FogStart,  // float bits
    FogEnd,    // float bits
    FogDensity,
    Count
};

// Values of RState::CullMode (the device's cull mode word is one less).
enum class CullValue : std::uint32_t { None = 1, Clockwise = 2, CounterClockwise = 3 };

enum class BlendFactor : std::uint32_t { Zero = 1, One = 2, SrcAlpha = 5, InvSrcAlpha = 6 };

// Per texture stage states.
enum class SState : std::uint16_t {
    ColorOp,
    ColorArg1,
    ColorArg2,
    AlphaOp,
    AlphaArg1,
    AlphaArg2,
    TextureTransformFlags,  // 0 disabled, 2 two coordinates
    BumpEnvMat00,           // float bits
    BumpEnvMat01,
    BumpEnvMat10,
    BumpEnvMat11,
    Count
};

enum class StageOp : std::uint32_t {
    Disable = 1,
    SelectArg1 = 2,
    SelectArg2 = 3,
    Modulate = 4,
    Modulate2x = 5,
    Add = 7
};
enum class StageArg : std::uint32_t { Diffuse = 0, Current = 1, Texture = 2 };

constexpr std::uint32_t kTextureTransformDisabled = 0;
constexpr std::uint32_t kTextureTransformCount2 = 2;
constexpr int kMaxTextureStages = 8;
constexpr int kMaxLights = 8;

enum class TransformKind : std::uint8_t { World = 0, View = 1, Projection = 2, Texture0 = 16 };

// Engine vertex-format word. Position is always present; components follow in this order.
namespace vertex_format {
constexpr std::uint32_t kPosition = 0x1;
constexpr std::uint32_t kNormal = 0x2;
constexpr std::uint32_t kDiffuse = 0x4;  // u32 ARGB
constexpr std::uint32_t kTexCountShift = 8;
constexpr std::uint32_t kTexCountMask = 0xF00;  // number of 2-float texture coordinate sets
constexpr std::uint32_t TexSets(std::uint32_t n) {
    return n << kTexCountShift;
}
constexpr std::uint32_t TexCount(std::uint32_t word) {
    return (word & kTexCountMask) >> kTexCountShift;
}
constexpr std::uint32_t Stride(std::uint32_t word) {
    return 12u + ((word & kNormal) ? 12u : 0u) + ((word & kDiffuse) ? 4u : 0u) + 8u * TexCount(word);
}
}  // namespace vertex_format

struct RawMatrix {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    bool operator==(const RawMatrix&) const = default;
};

struct ColorValue {
    float r = 0, g = 0, b = 0, a = 0;
    bool operator==(const ColorValue&) const = default;
};

enum class LightType : std::uint32_t { Point = 1, Spot = 2, Directional = 3 };

// The light layout of the system's light records (104 bytes).
struct LightRecord {
    LightType type = LightType::Directional;
    ColorValue diffuse, specular, ambient;
    float position[3] = {0, 0, 0};
    float direction[3] = {0, 0, 1};
    float range = 0, falloff = 0, attenuation0 = 1, attenuation1 = 0, attenuation2 = 0, theta = 0, phi = 0;
};

struct MaterialRecord {
    ColorValue diffuse{1, 1, 1, 1}, ambient{1, 1, 1, 1}, specular{0, 0, 0, 0}, emissive{0, 0, 0, 0};
    float power = 0;
    bool operator==(const MaterialRecord&) const = default;
};

// Display mode record given to the device (the system's field order).
struct DisplayMode {
    std::uint8_t fullscreen = 0, vsync = 0, pad = 0;
    std::uint16_t width = 1024, height = 768, bits = 32, refresh = 60, multisample = 0;
};

struct ModeRecord {
    std::uint16_t width = 0, height = 0, bpp = 0, refresh = 0;
    bool operator==(const ModeRecord&) const = default;
};

// The device capability summary. The flag bytes keep this order: the options store and the
// time-of-day lighting read the third and fourth (bump environment mapping, cube textures).
struct DeviceCaps {
    std::uint8_t immediatePresent = 0;
    std::uint8_t anisotropic = 0;
    std::uint8_t bumpEnvMap = 0;
    std::uint8_t cubeTextures = 0;
    std::uint8_t dxt1 = 0;
    std::uint8_t hardwareTnL = 0;
    std::uint8_t tableFog = 0;
    std::uint16_t maxAnisotropy = 1;
    std::uint16_t maxTextureWidth = 0, maxTextureHeight = 0;
    std::uint16_t maxBlendStages = 0, maxSimultaneousTextures = 0;
    std::uint16_t lightLimit = kMaxLights;
    std::uint16_t capabilityWord = 0;  // stored into the options (the maximum anisotropy)
    std::vector<std::uint16_t> multisampleTypes{0};
    // Per stage-slot capabilities read by the render sort tree.
    std::uint8_t slot1 = 1, slot2a = 0, slot2b = 0, slot5 = 1;
};

struct Viewport {
    std::int32_t x = 0, y = 0;
    std::uint32_t width = 0, height = 0;
    float minZ = 0, maxZ = 1;
    bool operator==(const Viewport&) const = default;
};

enum class TextureFormat : std::uint8_t { Rgba8, Dxt1, Alpha8 };

struct TextureDesc {
    std::uint32_t width = 0, height = 0;
    TextureFormat format = TextureFormat::Rgba8;
    bool renderTarget = false;
};

// Image in memory: RGBA8 rows from the top.
struct Image {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// Backend object handles; 0 is none.
using TextureHandle = std::uint32_t;
using BufferHandle = std::uint32_t;

namespace clear_flags {
constexpr std::uint32_t kColor = 1;
constexpr std::uint32_t kDepth = 2;
}  // namespace clear_flags

// Result codes of device creation and checks (0 success). Texts: GetDeviceErrorMessage.
enum class DeviceResult : int {
    Ok = 0,
    NoInterface = 1,
    InvalidVersion = 2,
    CapsFailed = 3,
    NoHalDevice = 4,
    NoDisplayModes = 5,
    ModeUnsupported = 6,
    NoWindow = 7,
    CreateFailed = 8,
    ResetFailed = 9,
    ContextFailed = 10,
    FeatureMissing = 11,
    OutOfMemory = 12,
    DeviceLost = 13,
};

}  // namespace platform
