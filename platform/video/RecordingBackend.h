#pragma once
// A backend that draws nothing and appends one text line per call, e.g. "RS AlphaRef 176",
// "FVF 0x106", "TEX 0 t3", "DIP base=0 min=0 n=24 start=0 prims=12". It is the test device and the
// null device of a run without a display. Capabilities, display modes and failures are set by
// the test. A test's device keeps every line; the null device of a run keeps the last frame only,
// so that its memory stays the same however long the run.

#include <map>
#include <string>
#include <vector>

#include "platform/video/RenderBackend.h"

namespace platform {

class RecordingBackend final : public RenderBackend {
public:
    // What the log keeps: every line, or the lines of the last presented frame (from the line after
    // the Present before it) and those of the frame being drawn.
    enum class Keep { Everything, LastFrame };

    RecordingBackend();

    // Configuration.
    DeviceCaps& Caps() { return caps_; }
    std::vector<ModeRecord>& Modes() { return modes_; }
    // The nth call (1-based, counted from now) whose log line starts with prefix fails.
    void FailOn(const std::string& prefix, int nth = 1);
    void SetCapsResult(int code) { capsResult_ = code; }
    void SetInitResult(int code) { initResult_ = code; }
    // Makes IsDeviceLost report true once.
    void SimulateLost() { lost_ = true; }
    // Stops or resumes logging (the objects are still created).
    void SetLogging(bool on) { logging_ = on; }
    void SetKeep(Keep keep) { keep_ = keep; }

    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog() {
        log_.clear();
        frameStart_ = 0;
    }
    // Lines whose text starts with prefix.
    std::vector<std::string> Lines(const std::string& prefix) const;
    int Count(const std::string& prefix) const;
    std::size_t LiveTextures() const { return textures_.size(); }
    std::size_t LiveBuffers() const { return buffers_.size(); }
    const std::vector<std::uint8_t>* BufferData(BufferHandle buffer) const;

    int Init(const DisplayMode& mode) override;
    int Reset(const DisplayMode& mode) override;
    bool IsDeviceLost() override;
    int QueryCaps(DeviceCaps& caps) override;
    void QueryModes(std::vector<ModeRecord>& modes) override;
    bool QueryVideoMemory(std::uint32_t& textureKb, std::uint64_t& totalBytes,
                          std::uint64_t& freeBytes) override;
    void SetGamma(float gamma) override;
    void SetDialogBoxMode(bool on) override;
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
    bool BeginScene() override;
    bool EndScene() override;
    bool Present() override;
    bool ReadBack(Image& image) override;

    static const char* Name(RState state);
    static const char* Name(SState state);

private:
    // Logs the line and answers whether the call succeeds.
    bool Record(std::string line);

    struct Failure {
        std::string prefix;
        int remaining;
    };
    DeviceCaps caps_;
    std::vector<ModeRecord> modes_;
    std::vector<std::string> log_;
    // Index of the first line after the last Present.
    std::size_t frameStart_ = 0;
    Keep keep_ = Keep::Everything;
    std::vector<Failure> failures_;
    std::map<std::uint32_t, TextureDesc> textures_;
    std::map<std::uint32_t, std::vector<std::uint8_t>> buffers_;
    std::uint32_t nextHandle_ = 1;
    DisplayMode mode_;
    int capsResult_ = 0;
    int initResult_ = 0;
    bool lost_ = false;
    bool logging_ = true;
};

}  // namespace platform
