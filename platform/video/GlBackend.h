#pragma once
// The render backend over an OpenGL compatibility context, whose fixed-function pipeline matches
// the device model: row-vector matrices loaded as they are, depth 0..1 through clip control,
// fixed-function lights, fog, texture combiners, alpha test and blend. Frames are drawn into a
// framebuffer of its own and blitted to the window at Present, so a screenshot reads back a
// finished frame. Buffers live in memory and are drawn as client arrays.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/GlContext.h"
#include "platform/video/RenderBackend.h"

namespace platform {

class GlBackend final : public RenderBackend {
public:
    // window: an SDL_Window* from platform/window, or null for a hidden window of its own.
    explicit GlBackend(void* window = nullptr);
    ~GlBackend() override;

    const std::string& LastError() const { return error_; }
    std::string RendererName() const;

    int Init(const DisplayMode& mode) override;
    int Reset(const DisplayMode& mode) override;
    bool IsDeviceLost() override { return false; }
    int QueryCaps(DeviceCaps& caps) override;
    void QueryModes(std::vector<ModeRecord>& modes) override;
    bool QueryVideoMemory(std::uint32_t& textureKb, std::uint64_t& totalBytes,
                          std::uint64_t& freeBytes) override;
    void SetGamma(float gamma) override { gamma_ = gamma; }
    void SetDialogBoxMode(bool on) override { dialogBoxMode_ = on; }
    bool SetRenderState(RState state, std::uint32_t value) override;
    bool SetStageState(std::uint32_t stage, SState state, std::uint32_t value) override;
    bool SetSamplerFilter(std::uint32_t filter, std::uint32_t anisotropy) override;
    bool SetVertexFormat(std::uint32_t formatWord) override;
    bool SetTransform(std::uint32_t kind, const RawMatrix& matrix) override;
    bool SetLight(std::uint32_t index, const LightRecord& light) override;
    bool EnableLight(std::uint32_t index, bool on) override;
    bool SetMaterial(const MaterialRecord& material) override;
    TextureHandle CreateTexture(const TextureDesc& desc, const void* pixels, std::size_t bytes) override;
    bool UpdateTexture(TextureHandle texture, const void* pixels, std::size_t bytes) override;
    void DestroyTexture(TextureHandle texture) override;
    bool SetTexture(std::uint32_t stage, TextureHandle texture) override;
    BufferHandle CreateVertexBuffer(std::size_t bytes, bool dynamic) override;
    BufferHandle CreateIndexBuffer(std::size_t count, bool dynamic) override;
    bool WriteVertexBuffer(BufferHandle buffer, std::size_t offset, const void* data,
                           std::size_t bytes) override;
    bool WriteIndexBuffer(BufferHandle buffer, std::size_t first, const std::uint16_t* data,
                          std::size_t count) override;
    void DestroyBuffer(BufferHandle buffer) override;
    bool SetStreamSource(BufferHandle vertices, std::uint32_t stride) override;
    bool SetIndices(BufferHandle indices) override;
    bool DrawIndexedPrimitive(std::int32_t baseVertex, std::uint32_t minIndex, std::uint32_t numVertices,
                              std::uint32_t startIndex, std::uint32_t primCount) override;
    bool SetRenderTarget(TextureHandle target) override;
    bool SetViewport(const Viewport& viewport) override;
    bool Clear(std::uint32_t flags, std::uint32_t argb, float depth) override;
    bool BeginScene() override { return context_ != nullptr; }
    bool EndScene() override { return true; }
    bool Present() override;
    bool ReadBack(Image& image) override;

    struct State;

private:
    bool MakeFrame(int width, int height);
    void ApplyDrawState();

    void* window_;
    void SetVsync(const DisplayMode& mode);
    std::unique_ptr<GlContext> context_;
    // With vsync asked for from a driver that cannot wait for it, Present waits out the rest of a
    // refresh period itself, so frames still come at the display's rate (microseconds; 0 = off).
    std::int64_t refreshPeriodUs_ = 0;
    std::int64_t lastPresentUs_ = 0;
    std::unique_ptr<State> state_;
    std::string error_;
    float gamma_ = 1.0f;
    bool dialogBoxMode_ = false;
};

}  // namespace platform
