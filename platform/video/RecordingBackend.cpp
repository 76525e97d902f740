#include "platform/video/RecordingBackend.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Printf(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string MatrixText(const RawMatrix& matrix) {
    if (matrix == RawMatrix{}) return "identity";
    std::string text = "[";
    for (int i = 0; i < 16; ++i) text += Printf(i ? " %g" : "%g", static_cast<double>(matrix.m[i]));
    return text + "]";
}

}  // namespace

RecordingBackend::RecordingBackend() {
    caps_.immediatePresent = 1;
    caps_.anisotropic = 1;
    caps_.maxAnisotropy = 16;
    caps_.dxt1 = 1;
    caps_.hardwareTnL = 1;
    caps_.tableFog = 1;
    caps_.maxTextureWidth = caps_.maxTextureHeight = 4096;
    caps_.maxBlendStages = caps_.maxSimultaneousTextures = 8;
    caps_.capabilityWord = 16;
    modes_ = {{1024, 768, 32, 60}, {1280, 1024, 32, 60}};
}

const char* RecordingBackend::Name(RState state) {
    static const char* const names[] = {"AlphaBlendEnable",
                                        "AlphaRef",
                                        "AlphaTestEnable",
                                        "SrcBlend",
                                        "DestBlend",
                                        "CullMode",
                                        "Lighting",
                                        "SpecularEnable",
                                        "NormalizeNormals",
                                        "DiffuseMaterialSource",
                                        "AmbientMaterialSource",
                                        "ZEnable",
                                        "ZWriteEnable",
                                        "Ambient",
                                        "FogEnable",
                                        "FogColor",
                                        "FogStart",
                                        "FogEnd",
                                        "FogDensity"};
    static_assert(sizeof names / sizeof names[0] == static_cast<std::size_t>(RState::Count));
    auto i = static_cast<std::size_t>(state);
    return i < static_cast<std::size_t>(RState::Count) ? names[i] : "?";
}

const char* RecordingBackend::Name(SState state) {
    static const char* const names[] = {"ColorOp",
                                        "ColorArg1",
                                        "ColorArg2",
                                        "AlphaOp",
                                        "AlphaArg1",
                                        "AlphaArg2",
                                        "TextureTransformFlags",
                                        "BumpEnvMat00",
                                        "BumpEnvMat01",
                                        "BumpEnvMat10",
                                        "BumpEnvMat11"};
    static_assert(sizeof names / sizeof names[0] == static_cast<std::size_t>(SState::Count));
    auto i = static_cast<std::size_t>(state);
    return i < static_cast<std::size_t>(SState::Count) ? names[i] : "?";
}

void RecordingBackend::FailOn(const std::string& prefix, int nth) {
    failures_.push_back({prefix, nth});
}

bool RecordingBackend::Record(std::string line) {
    bool ok = true;
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (line.compare(0, it->prefix.size(), it->prefix) != 0) continue;
        if (--it->remaining == 0) {
            ok = false;
            failures_.erase(it);
            break;
        }
    }
    if (logging_) log_.push_back(ok ? std::move(line) : line + " FAILED");
    return ok;
}

std::vector<std::string> RecordingBackend::Lines(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& line : log_)
        if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
    return found;
}

int RecordingBackend::Count(const std::string& prefix) const {
    return static_cast<int>(Lines(prefix).size());
}

const std::vector<std::uint8_t>* RecordingBackend::BufferData(BufferHandle buffer) const {
    auto it = buffers_.find(buffer);
    return it == buffers_.end() ? nullptr : &it->second;
}

int RecordingBackend::Init(const DisplayMode& mode) {
    mode_ = mode;
    bool ok = Record(Printf("INIT %ux%u %u fs=%u", mode.width, mode.height, mode.bits, mode.fullscreen));
    return !ok ? static_cast<int>(DeviceResult::CreateFailed) : initResult_;
}

int RecordingBackend::Reset(const DisplayMode& mode) {
    mode_ = mode;
    return Record(Printf("RESET %ux%u", mode.width, mode.height))
               ? 0
               : static_cast<int>(DeviceResult::ResetFailed);
}

bool RecordingBackend::IsDeviceLost() {
    bool lost = lost_;
    lost_ = false;
    return lost;
}

int RecordingBackend::QueryCaps(DeviceCaps& caps) {
    caps = caps_;
    return capsResult_;
}

void RecordingBackend::QueryModes(std::vector<ModeRecord>& modes) {
    modes.insert(modes.end(), modes_.begin(), modes_.end());
}

bool RecordingBackend::QueryVideoMemory(std::uint32_t& textureKb, std::uint64_t& totalBytes,
                                        std::uint64_t& freeBytes) {
    textureKb = 0;
    totalBytes = freeBytes = 0;
    return false;
}

void RecordingBackend::SetGamma(float gamma) {
    Record(Printf("GAMMA %g", static_cast<double>(gamma)));
}
void RecordingBackend::SetDialogBoxMode(bool on) {
    Record(Printf("DIALOGMODE %d", on ? 1 : 0));
}

bool RecordingBackend::SetRenderState(RState state, std::uint32_t value) {
    return Record(Printf("RS %s %u", Name(state), value));
}

bool RecordingBackend::SetStageState(std::uint32_t stage, SState state, std::uint32_t value) {
    return Record(Printf("TSS %u %s %u", stage, Name(state), value));
}

bool RecordingBackend::SetSamplerFilter(std::uint32_t filter, std::uint32_t anisotropy) {
    return Record(Printf("FILTER %u %u", filter, anisotropy));
}

bool RecordingBackend::SetVertexFormat(std::uint32_t formatWord) {
    return Record(Printf("FVF 0x%X", formatWord));
}

bool RecordingBackend::SetTransform(std::uint32_t kind, const RawMatrix& matrix) {
    const char* name = kind == 0 ? "World" : kind == 1 ? "View" : kind == 2 ? "Projection" : nullptr;
    std::string what =
        name ? name : Printf("Texture%u", kind - static_cast<std::uint32_t>(TransformKind::Texture0));
    return Record("XFORM " + what + " " + MatrixText(matrix));
}

bool RecordingBackend::SetLight(std::uint32_t index, const LightRecord& light) {
    const char* type = light.type == LightType::Directional ? "dir"
                       : light.type == LightType::Point     ? "point"
                                                            : "spot";
    return Record(Printf("LIGHT %u %s", index, type));
}

bool RecordingBackend::EnableLight(std::uint32_t index, bool on) {
    return Record(Printf("LIGHTENABLE %u %d", index, on ? 1 : 0));
}

bool RecordingBackend::SetMaterial(const MaterialRecord& material) {
    return Record(Printf("MATERIAL alpha=%g", static_cast<double>(material.diffuse.a)));
}

TextureHandle RecordingBackend::CreateTexture(const TextureDesc& desc, const void*, std::size_t) {
    std::uint32_t handle = nextHandle_;
    if (!Record(Printf("TEX+ t%u %ux%u fmt=%u%s", handle, desc.width, desc.height,
                       static_cast<unsigned>(desc.format), desc.renderTarget ? " rt" : "")))
        return 0;
    ++nextHandle_;
    textures_[handle] = desc;
    return handle;
}

bool RecordingBackend::UpdateTexture(TextureHandle texture, const void*, std::size_t) {
    if (!textures_.count(texture)) return false;
    return Record(Printf("TEXUPDATE t%u", texture));
}

void RecordingBackend::DestroyTexture(TextureHandle texture) {
    if (textures_.erase(texture)) Record(Printf("TEX- t%u", texture));
}

bool RecordingBackend::SetTexture(std::uint32_t stage, TextureHandle texture) {
    if (texture == 0) return Record(Printf("TEX %u none", stage));
    return Record(Printf("TEX %u t%u", stage, texture));
}

BufferHandle RecordingBackend::CreateVertexBuffer(std::size_t bytes, bool dynamic) {
    std::uint32_t handle = nextHandle_;
    if (!Record(Printf("VB+ b%u %zu%s", handle, bytes, dynamic ? " dyn" : ""))) return 0;
    ++nextHandle_;
    buffers_[handle].resize(bytes);
    return handle;
}

BufferHandle RecordingBackend::CreateIndexBuffer(std::size_t count, bool dynamic) {
    std::uint32_t handle = nextHandle_;
    if (!Record(Printf("IB+ b%u %zu%s", handle, count, dynamic ? " dyn" : ""))) return 0;
    ++nextHandle_;
    buffers_[handle].resize(count * 2);
    return handle;
}

bool RecordingBackend::WriteVertexBuffer(BufferHandle buffer, std::size_t offset, const void* data,
                                         std::size_t bytes) {
    auto it = buffers_.find(buffer);
    if (it == buffers_.end() || offset + bytes > it->second.size()) return false;
    if (!Record(Printf("VBWRITE b%u %zu %zu", buffer, offset, bytes))) return false;
    if (bytes) std::memcpy(it->second.data() + offset, data, bytes);
    return true;
}

bool RecordingBackend::WriteIndexBuffer(BufferHandle buffer, std::size_t first, const std::uint16_t* data,
                                        std::size_t count) {
    auto it = buffers_.find(buffer);
    if (it == buffers_.end() || (first + count) * 2 > it->second.size()) return false;
    if (!Record(Printf("IBWRITE b%u %zu %zu", buffer, first, count))) return false;
    if (count) std::memcpy(it->second.data() + first * 2, data, count * 2);
    return true;
}

void RecordingBackend::DestroyBuffer(BufferHandle buffer) {
    if (buffers_.erase(buffer)) Record(Printf("BUF- b%u", buffer));
}

bool RecordingBackend::SetStreamSource(BufferHandle vertices, std::uint32_t stride) {
    return Record(Printf("STREAM b%u %u", vertices, stride));
}

bool RecordingBackend::SetIndices(BufferHandle indices) {
    return Record(Printf("INDICES b%u", indices));
}

bool RecordingBackend::DrawIndexedPrimitive(std::int32_t baseVertex, std::uint32_t minIndex,
                                            std::uint32_t numVertices, std::uint32_t startIndex,
                                            std::uint32_t primCount) {
    return Record(Printf("DIP base=%d min=%u n=%u start=%u prims=%u", baseVertex, minIndex, numVertices,
                         startIndex, primCount));
}

bool RecordingBackend::SetRenderTarget(TextureHandle target) {
    return Record(target ? Printf("TARGET t%u", target) : std::string("TARGET screen"));
}

bool RecordingBackend::SetViewport(const Viewport& v) {
    return Record(Printf("VIEWPORT %d %d %u %u", v.x, v.y, v.width, v.height));
}

bool RecordingBackend::Clear(std::uint32_t flags, std::uint32_t argb, float depth) {
    return Record(Printf("CLEAR %u 0x%08X %g", flags, argb, static_cast<double>(depth)));
}

bool RecordingBackend::BeginScene() {
    return Record("BEGINSCENE");
}
bool RecordingBackend::EndScene() {
    return Record("ENDSCENE");
}
bool RecordingBackend::Present() {
    const bool ok = Record("PRESENT");
    if (keep_ == Keep::LastFrame && frameStart_ > 0)
        log_.erase(log_.begin(),
                   log_.begin() + static_cast<std::ptrdiff_t>(std::min(frameStart_, log_.size())));
    frameStart_ = log_.size();
    return ok;
}

bool RecordingBackend::ReadBack(Image& image) {
    if (!Record("READBACK")) return false;
    image.width = mode_.width;
    image.height = mode_.height;
    image.rgba.assign(static_cast<std::size_t>(image.width) * image.height * 4, 0);
    for (std::size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 255;
    return true;
}

}  // namespace platform
