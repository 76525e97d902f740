#pragma once
// The render device every part of the client draws through (the system's `RenderDeviceD3D9` and
// `GraphicsDevice`). It keeps the device state cache, capabilities, lights, buffers and statistics
// and is written once over a narrow platform::RenderBackend. Main thread only.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/core/EngineInterfaces.h"
#include "engine/core/Text.h"
#include "engine/render/BufferRegistry.h"
#include "engine/render/RenderConstants.h"
#include "engine/render/RenderMath.h"
#include "platform/video/RenderBackend.h"

class Camera;
class Font;
class MeshPart;
class Texture;

// Fog settings of a scene: flag word (third byte = fog on), colour, start, end, density.
struct FogSettings {
    std::uint32_t flags = 0;
    float r = 0, g = 0, b = 0, a = 1;
    float start = 0, end = 1, density = 0;
    bool Enabled() const { return ((flags >> 16) & 0xFF) != 0; }
};

// Sampler settings written by the application: filter 1 linear, 2 linear with mipmaps, 3
// anisotropic; level = maximum anisotropy.
struct TextureFilter {
    std::uint16_t filter = 1;
    std::uint16_t level = 1;
    std::uint8_t flag = 1;
    std::uint8_t enable = 0;
    std::uint32_t third = 2;
};

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Text formats of DrawText.
namespace text_format {
constexpr std::uint32_t kLeft = 0x0;
constexpr std::uint32_t kCenter = 0x1;
constexpr std::uint32_t kRight = 0x2;
constexpr std::uint32_t kVCenter = 0x4;
constexpr std::uint32_t kCalcRect = 0x400;  // measure only: rect's right/bottom receive the extent
}  // namespace text_format

using DeviceResetCallback = void (*)(void* context);

class RenderDevice final : public RenderDeviceBase {
public:
    explicit RenderDevice(std::unique_ptr<platform::RenderBackend> backend);
    ~RenderDevice() override;
    RenderDevice(const RenderDevice&) = delete;
    RenderDevice& operator=(const RenderDevice&) = delete;

    platform::RenderBackend& Backend() { return *backend_; }

    // --- Creation, modes, capabilities -------------------------------------------------------
    void SetDisplayMode(const platform::DisplayMode& mode) { mode_ = mode; }
    const platform::DisplayMode& GetDisplayMode() const { return mode_; }
    // Creates the device with the display mode (or resets it when it exists); 0 or a
    // platform::DeviceResult code.
    int ApplyDisplayMode();
    int ApplyDisplayMode(const platform::DisplayMode& mode) {
        return SetDisplayMode(mode), ApplyDisplayMode();
    }
    bool IsCreated() const { return created_; }
    int CheckDeviceCaps(platform::DeviceCaps& caps);
    const platform::DeviceCaps& Caps() const { return caps_; }
    // Appends the display modes (16- and 32-bit) of the adapter.
    void EnumDisplayModes(std::vector<platform::ModeRecord>& modes);
    bool GetVideoMemoryInfo(std::uint32_t& textureKb, std::uint64_t& totalBytes, std::uint64_t& freeBytes);
    void SetDeviceResetCallback(DeviceResetCallback callback, void* context);
    void SetActive(bool on) override { active_ = on; }
    bool IsActive() const { return active_; }
    void SetDialogBoxMode(bool on);
    bool DialogBoxMode() const { return dialogBoxMode_; }
    void SetGamma(float gamma);
    float Gamma() const { return gamma_; }
    void SetTextureFilter(const TextureFilter& filter);
    const TextureFilter& GetTextureFilter() const { return filter_; }
    // Reset with the current display mode: releases default-pool objects, resets, forgets the
    // state cache and calls the reset callback.
    void ResetDevice();
    // Releases every device object (textures, buffers); they are restored on next use.
    void ReleaseAll();
    std::uint8_t frameFlag = 0;

    // --- Frame bracket, targets, viewport ----------------------------------------------------
    // Recovers a lost device, then clears colour and depth.
    bool BeginFrame();
    bool BeginScene();
    void EndScene();
    void Present();
    void Clear();
    void SetClearColor(std::uint32_t argb) { clearColor_ = argb; }
    std::uint32_t ClearColor() const { return clearColor_; }
    void SetViewport(std::int32_t x, std::int32_t y, std::uint32_t width, std::uint32_t height);
    platform::Viewport GetViewport() const { return viewport_; }
    // nullptr = back to the screen.
    bool SetRenderTargetTexture(Texture* target);
    // Back to the 2D drawing state of the widgets: screen projection, no lighting, blending.
    void Begin2D();

    // --- Cached render states ------------------------------------------------------------------
    bool SetRenderState(platform::RState state, std::uint32_t value);
    bool SetStageState(std::uint32_t stage, platform::SState state, std::uint32_t value);
    std::uint32_t CachedStageState(std::uint32_t stage, platform::SState state) const;
    bool SetAlphaMode(std::uint32_t mode);
    std::uint32_t CachedAlphaMode() const { return alphaMode_; }
    bool SetVertexFormat(std::uint32_t formatWord);
    // mode 0 none, 1 clockwise, 2 counter-clockwise; -1 = the current cull mode word.
    bool SetCullMode(std::int32_t mode);
    std::int32_t currentCullMode = 2;
    // The cached CULLMODE device value (CullValue), or 0 when unknown.
    std::uint32_t CachedCullValue() const;
    bool SetSpecularEnable(bool on);
    bool ApplyMaterialState(std::uint32_t flagWord);
    // matrix null = identity; the world transform also sets NormalizeNormals = not identity.
    bool SetTransform(platform::TransformKind kind, const Matrix4f* matrix);
    bool SetTextureMatrix(std::uint32_t stage, const Matrix4f& matrix);
    bool SetMaterial(const platform::MaterialRecord& material);
    bool SetMaterialAlpha(float alpha);
    bool SetTexture(std::uint32_t stage, Texture* texture);
    bool BindTextureHandle(std::uint32_t stage, platform::TextureHandle handle);
    bool SetBumpEnvMatrix(std::uint32_t stage, float m00, float m01, float m10, float m11);
    std::uint8_t alphaLock = 0;
    std::uint8_t specularLock = 0;
    // The state word that blended groups save and put back around each record (draw flags).
    std::uint32_t firstStateWord = 0;

    // Stage-slot capabilities read by the render sort tree; the second slot-2 flag is written by
    // blended groups per record (bump allowed).
    bool HasSlot1Cap() const { return caps_.slot1 != 0; }
    bool HasSlot2Caps() const { return caps_.slot2a != 0 && slot2Cap2_ != 0; }
    bool HasSlot5Cap() const { return caps_.slot5 != 0; }
    std::uint8_t Slot2Cap2() const { return slot2Cap2_; }
    void SetSlot2Cap2(std::uint8_t on) { slot2Cap2_ = on; }
    // Stage mask reduced to what the device supports.
    std::uint32_t ReduceStageMask(std::uint32_t mask) const;

    // --- Lights and scene state ----------------------------------------------------------------
    void DisableAllLights();
    bool AddDirectionalLight(const platform::LightRecord& light);
    bool AddPointLight(const platform::LightRecord& light);
    bool EnableLights(bool directional, bool point, bool lighting);
    std::size_t LightCount() const { return lights_.size(); }
    void SetAmbientColor(float r, float g, float b, float a);
    // View and projection from the camera, the scene's default material, ambient colour and fog;
    // the world transform back to the identity. Null records are left as they are.
    bool SetupSceneState(const platform::MaterialRecord* first, const platform::ColorValue* ambient,
                         const FogSettings* fog, const Camera& camera);
    bool SetupSceneState(const Camera& camera);

    // --- Buffers and drawing -------------------------------------------------------------------
    BufferRegistry& Buffers() { return registry_; }
    StaticBufferManager& GetStaticBufferManager() { return *staticBuffers_; }
    bool SelectBuffers(std::uint16_t vertexBuffer, std::uint32_t stride, std::uint16_t indexBuffer);
    bool DrawIndexedPrimitive(std::int32_t baseVertex, std::uint32_t minIndex, std::uint32_t numVertices,
                              std::uint32_t startIndex, std::uint32_t primCount);
    // Dynamic buffers: prepare for a format, grow to a size, draw a part through them.
    bool PrepareDynamicVertices(std::uint32_t formatWord);
    bool EnsureDynamicIndices();
    bool GrowDynamic(std::uint32_t vertexBytes, std::uint32_t indexCount);
    // Appends the part's vertices and indices to the dynamic buffers and draws them.
    bool DrawPartDynamic(const MeshPart& part, std::uint32_t& verticesDrawn);
    // A part drawn on its own (blended records, sprites, previews): vertex format, then the draw.
    bool DrawPart(const MeshPart& part, bool normals, std::uint32_t& verticesDrawn);
    // Triangle list of immediate vertices in a format (2D quads, text).
    bool DrawUserTriangles(std::uint32_t formatWord, const void* vertices, std::uint32_t vertexCount,
                           const std::uint16_t* indices, std::uint32_t indexCount);

    // --- 2D, text, screenshots -----------------------------------------------------------------
    bool FillRect(const Rect& rect, std::uint32_t argb);
    // Source rectangle in texels; a zero-size source takes the whole texture.
    bool DrawImage(Texture* texture, const Rect& source, const Rect& destination, std::uint32_t argb);
    // Fonts are cached by (face, height, weight, style); null when no font file is found.
    Font* CreateFont(const WString& face, std::int32_t height, std::int32_t weight, std::uint32_t style);
    bool DrawText(Font* font, WStringView text, Rect& rect, std::uint32_t format, std::uint32_t argb);
    // Saves the last frame; format by extension (.jpg/.jpeg JPEG, .png PNG).
    bool SaveScreenshot(const std::string& path);
    bool ReadBack(platform::Image& image) { return backend_->ReadBack(image); }

    // --- Textures ------------------------------------------------------------------------------
    void TrackTexture(Texture* texture) { textures_.insert(texture); }
    void UntrackTexture(Texture* texture) { textures_.erase(texture); }
    // Milliseconds of the frame (texture and bump animation).
    std::uint64_t ClockMs() const;

private:
    void ForgetStateCache();
    bool WriteLight(std::uint32_t index, const platform::LightRecord& light);

    std::unique_ptr<platform::RenderBackend> backend_;
    platform::DisplayMode mode_;
    platform::DeviceCaps caps_;
    bool capsRead_ = false;
    bool created_ = false;
    bool active_ = true;
    bool dialogBoxMode_ = false;
    bool inScene_ = false;
    float gamma_ = 1.0f;
    TextureFilter filter_;
    DeviceResetCallback resetCallback_ = nullptr;
    void* resetContext_ = nullptr;
    std::uint32_t clearColor_ = 0xFF000000;
    platform::Viewport viewport_;
    Texture* renderTarget_ = nullptr;

    static constexpr std::uint32_t kUnknown = 0xFFFFFFFF;
    std::array<std::uint32_t, static_cast<std::size_t>(platform::RState::Count)> states_{};
    std::array<std::array<std::uint32_t, static_cast<std::size_t>(platform::SState::Count)>,
               platform::kMaxTextureStages>
        stageStates_{};
    std::array<platform::TextureHandle, platform::kMaxTextureStages> boundTextures_{};
    std::array<bool, platform::kMaxTextureStages> boundKnown_{};
    std::uint32_t alphaMode_ = kUnknown;
    std::uint32_t vertexFormat_ = kUnknown;
    Matrix4f world_;
    bool worldKnown_ = false;
    platform::MaterialRecord material_;
    bool materialKnown_ = false;
    std::uint8_t slot2Cap2_ = 0;

    struct LightSlot {
        platform::LightRecord record;
        bool enabled = false;
    };
    std::vector<LightSlot> lights_;

    BufferRegistry registry_;
    std::unique_ptr<StaticBufferManager> staticBuffers_;
    std::uint16_t dynamicVertices_ = kNoDynamicIndexBuffer;
    std::uint32_t dynamicVertexBytes_ = 0;
    std::uint32_t dynamicIndexCount_ = 0;
    std::uint32_t dynamicFormat_ = 0;

    std::set<Texture*> textures_;
    std::map<std::tuple<WString, std::int32_t, std::int32_t, std::uint32_t>, std::unique_ptr<Font>> fonts_;
};
