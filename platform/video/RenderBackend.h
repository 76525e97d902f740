#pragma once
// The narrow, uncached interface the render device is written over. Every call that reaches a
// backend has already passed the device's state cache. Backends: GlBackend (OpenGL) and
// RecordingBackend (logs each call; the test and null device).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/video/RenderTypes.h"

namespace platform {

class RenderBackend {
public:
    virtual ~RenderBackend() = default;

    // Creation and presentation parameters; DeviceResult codes (0 success).
    virtual int Init(const DisplayMode& mode) = 0;
    virtual int Reset(const DisplayMode& mode) = 0;
    // True once when the device was lost and must be reset before drawing.
    virtual bool IsDeviceLost() = 0;
    virtual int QueryCaps(DeviceCaps& caps) = 0;
    virtual void QueryModes(std::vector<ModeRecord>& modes) = 0;
    virtual bool QueryVideoMemory(std::uint32_t& textureKb, std::uint64_t& totalBytes,
                                  std::uint64_t& freeBytes) = 0;
    virtual void SetGamma(float gamma) = 0;
    virtual void SetDialogBoxMode(bool on) = 0;

    // State.
    virtual bool SetRenderState(RState state, std::uint32_t value) = 0;
    virtual bool SetStageState(std::uint32_t stage, SState state, std::uint32_t value) = 0;
    virtual bool SetSamplerFilter(std::uint32_t filter, std::uint32_t anisotropy) = 0;
    virtual bool SetVertexFormat(std::uint32_t formatWord) = 0;
    // kind World, View, Projection, or Texture0 + stage.
    virtual bool SetTransform(std::uint32_t kind, const RawMatrix& matrix) = 0;
    virtual bool SetLight(std::uint32_t index, const LightRecord& light) = 0;
    virtual bool EnableLight(std::uint32_t index, bool on) = 0;
    virtual bool SetMaterial(const MaterialRecord& material) = 0;

    // Textures. Pixels: RGBA8 rows from the top, DXT1 blocks, or one byte per texel (Alpha8).
    virtual TextureHandle CreateTexture(const TextureDesc& desc, const void* pixels, std::size_t bytes) = 0;
    virtual bool UpdateTexture(TextureHandle texture, const void* pixels, std::size_t bytes) = 0;
    virtual void DestroyTexture(TextureHandle texture) = 0;
    virtual bool SetTexture(std::uint32_t stage, TextureHandle texture) = 0;

    // Buffers: vertex buffers in bytes, index buffers in 16-bit indices.
    virtual BufferHandle CreateVertexBuffer(std::size_t bytes, bool dynamic) = 0;
    virtual BufferHandle CreateIndexBuffer(std::size_t count, bool dynamic) = 0;
    virtual bool WriteVertexBuffer(BufferHandle buffer, std::size_t offset, const void* data,
                                   std::size_t bytes) = 0;
    virtual bool WriteIndexBuffer(BufferHandle buffer, std::size_t first, const std::uint16_t* data,
                                  std::size_t count) = 0;
    virtual void DestroyBuffer(BufferHandle buffer) = 0;
    virtual bool SetStreamSource(BufferHandle vertices, std::uint32_t stride) = 0;
    virtual bool SetIndices(BufferHandle indices) = 0;
    virtual bool DrawIndexedPrimitive(std::int32_t baseVertex, std::uint32_t minIndex,
                                      std::uint32_t numVertices, std::uint32_t startIndex,
                                      std::uint32_t primCount) = 0;

    // Targets and frames. SetRenderTarget(0) returns to the screen.
    virtual bool SetRenderTarget(TextureHandle target) = 0;
    virtual bool SetViewport(const Viewport& viewport) = 0;
    virtual bool Clear(std::uint32_t flags, std::uint32_t argb, float depth) = 0;
    virtual bool BeginScene() = 0;
    virtual bool EndScene() = 0;
    virtual bool Present() = 0;
    // The last finished frame (or the frame being drawn before the first Present), RGBA8.
    virtual bool ReadBack(Image& image) = 0;
};

}  // namespace platform
