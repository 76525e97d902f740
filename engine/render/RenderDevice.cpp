#include "engine/render/RenderDevice.h"

#include <algorithm>
#include <cstring>

#include "engine/render/Camera.h"
#include "engine/render/Font.h"
#include "engine/render/Material.h"
#include "engine/render/Mesh.h"
#include "engine/render/Texture.h"
#include "platform/sys/Clock.h"
#include "platform/video/ImageFile.h"

using platform::RState;
using platform::SState;
using platform::StageArg;
using platform::StageOp;

namespace {

std::uint32_t FloatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

std::uint32_t ToArgb(float r, float g, float b, float a) {
    auto channel = [](float v) {
        return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
    };
    return channel(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

constexpr std::uint32_t kDynamicVertexBytes = 256 * 1024;
constexpr std::uint32_t kDynamicIndexCount = 64 * 1024;
constexpr std::uint32_t k2DFormat = platform::vertex_format::kPosition | platform::vertex_format::kDiffuse |
                                    platform::vertex_format::TexSets(1);

struct Vertex2D {
    float x, y, z;
    std::uint32_t colour;
    float u, v;
};

}  // namespace

RenderDevice::RenderDevice(std::unique_ptr<platform::RenderBackend> backend)
    : backend_(std::move(backend)),
      registry_(*backend_),
      staticBuffers_(std::make_unique<StaticBufferManager>(registry_)) {
    backend_->QueryCaps(caps_);
    slot2Cap2_ = caps_.slot2b;
    ForgetStateCache();
}

RenderDevice::~RenderDevice() {
    fonts_.clear();
    for (Texture* texture : textures_) {
        texture->Release();
        texture->DetachDevice();
    }
    textures_.clear();
}

void RenderDevice::ForgetStateCache() {
    states_.fill(kUnknown);
    for (auto& stage : stageStates_) stage.fill(kUnknown);
    boundTextures_.fill(0);
    boundKnown_.fill(false);
    alphaMode_ = kUnknown;
    vertexFormat_ = kUnknown;
    worldKnown_ = false;
    materialKnown_ = false;
    registry_.currentVertices = registry_.currentIndices = BufferRegistry::kNone;
    for (auto& light : lights_) light.enabled = false;
    lights_.clear();
}

// --- Creation, modes, capabilities ---------------------------------------------------------------

int RenderDevice::ApplyDisplayMode() {
    int code;
    if (!created_) {
        code = backend_->Init(mode_);
        created_ = code == 0;
    } else {
        registry_.ReleaseAll();
        for (Texture* texture : textures_)
            if (texture->Desc().renderTarget) texture->Release();
        code = backend_->Reset(mode_);
    }
    ForgetStateCache();
    if (code == 0) {
        backend_->QueryCaps(caps_);
        slot2Cap2_ = caps_.slot2b;
        viewport_ = {0, 0, mode_.width, mode_.height, 0, 1};
    }
    return code;
}

int RenderDevice::CheckDeviceCaps(platform::DeviceCaps& caps) {
    int code = backend_->QueryCaps(caps_);
    capsRead_ = true;
    slot2Cap2_ = caps_.slot2b;
    caps = caps_;
    return code;
}

void RenderDevice::EnumDisplayModes(std::vector<platform::ModeRecord>& modes) {
    std::vector<platform::ModeRecord> all;
    backend_->QueryModes(all);
    for (const auto& mode : all)
        if (mode.bpp == 16 || mode.bpp == 32) modes.push_back(mode);
}

bool RenderDevice::GetVideoMemoryInfo(std::uint32_t& textureKb, std::uint64_t& totalBytes,
                                      std::uint64_t& freeBytes) {
    return backend_->QueryVideoMemory(textureKb, totalBytes, freeBytes);
}

void RenderDevice::SetDeviceResetCallback(DeviceResetCallback callback, void* context) {
    resetCallback_ = callback;
    resetContext_ = context;
}

void RenderDevice::SetDialogBoxMode(bool on) {
    dialogBoxMode_ = on;
    backend_->SetDialogBoxMode(on);
}

void RenderDevice::SetGamma(float gamma) {
    gamma_ = gamma;
    backend_->SetGamma(gamma);
}

void RenderDevice::SetTextureFilter(const TextureFilter& filter) {
    filter_ = filter;
    backend_->SetSamplerFilter(filter.filter, filter.filter == 3 ? filter.level : 1);
}

void RenderDevice::ResetDevice() {
    if (!created_) return;
    registry_.ReleaseAll();
    for (Texture* texture : textures_)
        if (texture->Desc().renderTarget) texture->Release();
    backend_->Reset(mode_);
    ForgetStateCache();
    viewport_ = {0, 0, mode_.width, mode_.height, 0, 1};
    if (resetCallback_) resetCallback_(resetContext_);
}

void RenderDevice::ReleaseAll() {
    for (Texture* texture : textures_) texture->Release();
    registry_.ReleaseAll();
    ForgetStateCache();
}

// --- Frame bracket ---------------------------------------------------------------------------------

bool RenderDevice::BeginFrame() {
    if (!created_) return false;
    if (backend_->IsDeviceLost()) {
        ReleaseAll();
        if (backend_->Reset(mode_) != 0) return false;
        ForgetStateCache();
        if (resetCallback_) resetCallback_(resetContext_);
    }
    Clear();
    return true;
}

bool RenderDevice::BeginScene() {
    if (!created_ || inScene_) return false;
    inScene_ = backend_->BeginScene();
    return inScene_;
}

void RenderDevice::EndScene() {
    if (!inScene_) return;
    backend_->EndScene();
    inScene_ = false;
}

void RenderDevice::Present() {
    if (created_) backend_->Present();
}

void RenderDevice::Clear() {
    backend_->Clear(platform::clear_flags::kColor | platform::clear_flags::kDepth, clearColor_, 1.0f);
}

void RenderDevice::SetViewport(std::int32_t x, std::int32_t y, std::uint32_t width, std::uint32_t height) {
    platform::Viewport viewport{x, y, width, height, 0, 1};
    if (viewport == viewport_) return;
    if (backend_->SetViewport(viewport)) viewport_ = viewport;
}

bool RenderDevice::SetRenderTargetTexture(Texture* target) {
    if (target && (!target->Desc().renderTarget || !target->Restore())) return false;
    if (!backend_->SetRenderTarget(target ? target->Handle() : 0)) return false;
    renderTarget_ = target;
    std::uint32_t width = target ? target->Width() : mode_.width;
    std::uint32_t height = target ? target->Height() : mode_.height;
    viewport_ = {};
    SetViewport(0, 0, width, height);
    return true;
}

void RenderDevice::Begin2D() {
    Matrix4f screen = ScreenMatrix(static_cast<float>(std::max<std::uint32_t>(viewport_.width, 1)),
                                   static_cast<float>(std::max<std::uint32_t>(viewport_.height, 1)));
    SetTransform(platform::TransformKind::World, nullptr);
    SetTransform(platform::TransformKind::View, nullptr);
    SetTransform(platform::TransformKind::Projection, &screen);
    EnableLights(false, false, false);
    SetRenderState(RState::ZEnable, 0);
    SetRenderState(RState::ZWriteEnable, 0);
    SetRenderState(RState::FogEnable, 0);
    SetCullMode(0);
    SetAlphaMode(1);
    ApplyMaterialState(RenderStateBit(kDiffuseSlot));
    SetMaterialAlpha(1.0f);
}

// --- Cached render states --------------------------------------------------------------------------

bool RenderDevice::SetRenderState(RState state, std::uint32_t value) {
    auto& cached = states_[static_cast<std::size_t>(state)];
    if (cached == value) return true;
    if (!backend_->SetRenderState(state, value)) {
        cached = kUnknown;
        return false;
    }
    cached = value;
    return true;
}

bool RenderDevice::SetStageState(std::uint32_t stage, SState state, std::uint32_t value) {
    if (stage >= platform::kMaxTextureStages) return false;
    auto& cached = stageStates_[stage][static_cast<std::size_t>(state)];
    if (cached == value) return true;
    if (!backend_->SetStageState(stage, state, value)) {
        cached = kUnknown;
        return false;
    }
    cached = value;
    return true;
}

std::uint32_t RenderDevice::CachedStageState(std::uint32_t stage, SState state) const {
    if (stage >= platform::kMaxTextureStages) return kUnknown;
    std::uint32_t value = stageStates_[stage][static_cast<std::size_t>(state)];
    // Texture transforms start disabled on a fresh device.
    if (value == kUnknown && state == SState::TextureTransformFlags)
        return platform::kTextureTransformDisabled;
    return value;
}

bool RenderDevice::SetAlphaMode(std::uint32_t mode) {
    if (alphaLock || mode == alphaMode_) return true;
    bool ok;
    if (mode == 0)
        ok = SetRenderState(RState::AlphaBlendEnable, 0) && SetRenderState(RState::AlphaRef, kOpaqueAlphaRef);
    else if (mode == 1)
        ok =
            SetRenderState(RState::AlphaBlendEnable, 1) && SetRenderState(RState::AlphaRef, kBlendedAlphaRef);
    else
        return false;
    // The alpha test (greater or equal) stays on: reference 0xB0 cuts out opaque texels, 0 passes all.
    ok = ok && SetRenderState(RState::AlphaTestEnable, 1);
    alphaMode_ = ok ? mode : kUnknown;
    return ok;
}

bool RenderDevice::SetVertexFormat(std::uint32_t formatWord) {
    if (formatWord == vertexFormat_) return true;
    if (!backend_->SetVertexFormat(formatWord)) {
        vertexFormat_ = kUnknown;
        return false;
    }
    vertexFormat_ = formatWord;
    std::uint32_t source = (formatWord & platform::vertex_format::kDiffuse) ? 1 : 0;
    return SetRenderState(RState::DiffuseMaterialSource, source) &&
           SetRenderState(RState::AmbientMaterialSource, source);
}

bool RenderDevice::SetCullMode(std::int32_t mode) {
    std::int32_t value = (mode == -1 ? currentCullMode : mode) + 1;
    return SetRenderState(RState::CullMode, static_cast<std::uint32_t>(value));
}

std::uint32_t RenderDevice::CachedCullValue() const {
    std::uint32_t value = states_[static_cast<std::size_t>(RState::CullMode)];
    return value == kUnknown ? 0 : value;
}

bool RenderDevice::SetSpecularEnable(bool on) {
    if (specularLock) return true;
    return SetRenderState(RState::SpecularEnable, on ? 1 : 0);
}

std::uint32_t RenderDevice::ReduceStageMask(std::uint32_t mask) const {
    if (!HasSlot2Caps()) {
        if (mask & RenderStateBit(kBumpSlot)) mask &= ~(RenderStateBit(kBumpSlot) | 4u | 64u);
    }
    if (!HasSlot1Cap()) mask &= ~RenderStateBit(1);
    if (!HasSlot5Cap()) mask &= ~RenderStateBit(5);
    return mask;
}

// Each enabled stage modulates its texture with what came before (the first with the vertex or
// material colour); the light map may double. Stages after the last are disabled.
bool RenderDevice::ApplyMaterialState(std::uint32_t flagWord) {
    std::uint32_t mask = ReduceStageMask(flagWord & kStageMaskBits);
    std::uint32_t stage = 0;
    bool ok = true;
    auto set = [&](std::uint32_t s, SState state, auto value) {
        ok = ok && SetStageState(s, state, static_cast<std::uint32_t>(value));
    };
    for (int slot = 0; slot < kStageSlots; ++slot) {
        if (!(mask & RenderStateBit(slot))) continue;
        bool doubled = slot == kLightMapSlot && (flagWord & material_flags::kLightMap2x);
        set(stage, SState::ColorOp, doubled ? StageOp::Modulate2x : StageOp::Modulate);
        set(stage, SState::ColorArg1, StageArg::Texture);
        set(stage, SState::ColorArg2, stage == 0 ? StageArg::Diffuse : StageArg::Current);
        set(stage, SState::AlphaOp, stage == 0 ? StageOp::Modulate : StageOp::SelectArg2);
        set(stage, SState::AlphaArg1, StageArg::Texture);
        set(stage, SState::AlphaArg2, stage == 0 ? StageArg::Diffuse : StageArg::Current);
        ++stage;
    }
    if (stage == 0) {
        set(0, SState::ColorOp, StageOp::SelectArg1);
        set(0, SState::ColorArg1, StageArg::Diffuse);
        set(0, SState::AlphaOp, StageOp::SelectArg1);
        set(0, SState::AlphaArg1, StageArg::Diffuse);
        stage = 1;
    }
    if (stage < platform::kMaxTextureStages) {
        set(stage, SState::ColorOp, StageOp::Disable);
        set(stage, SState::AlphaOp, StageOp::Disable);
    }
    bool additive = flagWord & material_flags::kAdditiveBlend;
    ok = ok && SetRenderState(RState::SrcBlend, static_cast<std::uint32_t>(platform::BlendFactor::SrcAlpha));
    ok = ok && SetRenderState(RState::DestBlend,
                              static_cast<std::uint32_t>(additive ? platform::BlendFactor::One
                                                                  : platform::BlendFactor::InvSrcAlpha));
    return ok;
}

bool RenderDevice::SetTransform(platform::TransformKind kind, const Matrix4f* matrix) {
    static const Matrix4f kIdentity;
    const Matrix4f& m = matrix ? *matrix : kIdentity;
    if (kind == platform::TransformKind::World) {
        bool identity = m == kIdentity;
        if (!(worldKnown_ && world_ == m)) {
            if (!backend_->SetTransform(0, m)) {
                worldKnown_ = false;
                return false;
            }
            world_ = m;
            worldKnown_ = true;
        }
        return SetRenderState(RState::NormalizeNormals, identity ? 0 : 1);
    }
    return backend_->SetTransform(static_cast<std::uint32_t>(kind), m);
}

bool RenderDevice::SetTextureMatrix(std::uint32_t stage, const Matrix4f& matrix) {
    return backend_->SetTransform(static_cast<std::uint32_t>(platform::TransformKind::Texture0) + stage,
                                  matrix);
}

bool RenderDevice::SetMaterial(const platform::MaterialRecord& material) {
    if (materialKnown_ && material == material_) return true;
    if (!backend_->SetMaterial(material)) {
        materialKnown_ = false;
        return false;
    }
    material_ = material;
    materialKnown_ = true;
    return true;
}

bool RenderDevice::SetMaterialAlpha(float alpha) {
    platform::MaterialRecord material = material_;
    material.diffuse.a = alpha;
    return SetMaterial(material);
}

bool RenderDevice::SetTexture(std::uint32_t stage, Texture* texture) {
    if (!texture) return BindTextureHandle(stage, 0);
    return texture->Bind(stage);
}

bool RenderDevice::BindTextureHandle(std::uint32_t stage, platform::TextureHandle handle) {
    if (stage >= platform::kMaxTextureStages) return false;
    if (boundKnown_[stage] && boundTextures_[stage] == handle) return true;
    if (!backend_->SetTexture(stage, handle)) {
        boundKnown_[stage] = false;
        return false;
    }
    boundTextures_[stage] = handle;
    boundKnown_[stage] = true;
    return true;
}

bool RenderDevice::SetBumpEnvMatrix(std::uint32_t stage, float m00, float m01, float m10, float m11) {
    return SetStageState(stage, SState::BumpEnvMat00, FloatBits(m00)) &&
           SetStageState(stage, SState::BumpEnvMat01, FloatBits(m01)) &&
           SetStageState(stage, SState::BumpEnvMat10, FloatBits(m10)) &&
           SetStageState(stage, SState::BumpEnvMat11, FloatBits(m11));
}

// --- Lights and scene state ------------------------------------------------------------------------

void RenderDevice::DisableAllLights() {
    for (std::size_t i = 0; i < lights_.size(); ++i)
        if (lights_[i].enabled) backend_->EnableLight(static_cast<std::uint32_t>(i), false);
    lights_.clear();
}

bool RenderDevice::WriteLight(std::uint32_t index, const platform::LightRecord& light) {
    if (lights_.size() >= std::min<std::size_t>(caps_.lightLimit, platform::kMaxLights)) return false;
    if (!backend_->SetLight(index, light)) return false;
    lights_.push_back({light, false});
    return true;
}

bool RenderDevice::AddDirectionalLight(const platform::LightRecord& light) {
    platform::LightRecord record = light;
    record.type = platform::LightType::Directional;
    return WriteLight(static_cast<std::uint32_t>(lights_.size()), record);
}

bool RenderDevice::AddPointLight(const platform::LightRecord& light) {
    platform::LightRecord record = light;
    record.type = platform::LightType::Point;
    return WriteLight(static_cast<std::uint32_t>(lights_.size()), record);
}

bool RenderDevice::EnableLights(bool directional, bool point, bool lighting) {
    bool ok = SetRenderState(RState::Lighting, lighting ? 1 : 0);
    for (std::size_t i = 0; i < lights_.size() && ok; ++i) {
        bool isDirectional = lights_[i].record.type == platform::LightType::Directional;
        bool want = lighting && (isDirectional ? directional : point);
        if (want == lights_[i].enabled) continue;
        ok = backend_->EnableLight(static_cast<std::uint32_t>(i), want);
        if (ok) lights_[i].enabled = want;
    }
    return ok;
}

void RenderDevice::SetAmbientColor(float r, float g, float b, float a) {
    SetRenderState(RState::Ambient, ToArgb(r, g, b, a));
}

bool RenderDevice::SetupSceneState(const platform::MaterialRecord* first, const platform::ColorValue* ambient,
                                   const FogSettings* fog, const Camera& camera) {
    if (!SetupSceneState(camera)) return false;
    if (first && !SetMaterial(*first)) return false;
    if (ambient && !SetRenderState(RState::Ambient, ToArgb(ambient->r, ambient->g, ambient->b, ambient->a)))
        return false;
    if (fog) {
        bool on = fog->Enabled();
        if (!SetRenderState(RState::FogEnable, on ? 1 : 0)) return false;
        if (on && !(SetRenderState(RState::FogColor, ToArgb(fog->r, fog->g, fog->b, fog->a)) &&
                    SetRenderState(RState::FogStart, FloatBits(fog->start)) &&
                    SetRenderState(RState::FogEnd, FloatBits(fog->end)) &&
                    SetRenderState(RState::FogDensity, FloatBits(fog->density))))
            return false;
    }
    return true;
}

bool RenderDevice::SetupSceneState(const Camera& camera) {
    Matrix4f view = camera.View();
    Matrix4f projection = camera.Projection();
    return SetTransform(platform::TransformKind::View, &view) &&
           SetTransform(platform::TransformKind::Projection, &projection) &&
           SetTransform(platform::TransformKind::World, nullptr) && SetRenderState(RState::ZEnable, 1) &&
           SetRenderState(RState::ZWriteEnable, 1);
}

// --- Buffers and drawing ---------------------------------------------------------------------------

bool RenderDevice::SelectBuffers(std::uint16_t vertexBuffer, std::uint32_t stride,
                                 std::uint16_t indexBuffer) {
    if (!registry_.Holds(vertexBuffer) || !registry_.Holds(indexBuffer)) return false;
    if (registry_.currentVertices != vertexBuffer) {
        if (!backend_->SetStreamSource(registry_.DeviceHandle(vertexBuffer), stride)) return false;
        registry_.currentVertices = vertexBuffer;
        registry_.verticesDynamic = registry_.IsDynamic(vertexBuffer);
    }
    if (registry_.currentIndices != indexBuffer) {
        if (!backend_->SetIndices(registry_.DeviceHandle(indexBuffer))) return false;
        registry_.currentIndices = indexBuffer;
        registry_.indicesDynamic = registry_.IsDynamic(indexBuffer);
    }
    return true;
}

bool RenderDevice::DrawIndexedPrimitive(std::int32_t baseVertex, std::uint32_t minIndex,
                                        std::uint32_t numVertices, std::uint32_t startIndex,
                                        std::uint32_t primCount) {
    return backend_->DrawIndexedPrimitive(baseVertex, minIndex, numVertices, startIndex, primCount);
}

bool RenderDevice::PrepareDynamicVertices(std::uint32_t formatWord) {
    if (dynamicVertices_ == kNoDynamicIndexBuffer || !registry_.Holds(dynamicVertices_)) {
        dynamicVertices_ = registry_.Create(false, std::max(dynamicVertexBytes_, kDynamicVertexBytes), true);
        if (dynamicVertices_ == BufferRegistry::kNone) return false;
        dynamicFormat_ = 0;
    }
    if (!registry_.EnsureSize(dynamicVertices_, std::max(dynamicVertexBytes_, kDynamicVertexBytes)))
        return false;
    if (!SetVertexFormat(formatWord)) return false;
    if (registry_.currentVertices != dynamicVertices_ || dynamicFormat_ != formatWord) {
        if (!backend_->SetStreamSource(registry_.DeviceHandle(dynamicVertices_),
                                       platform::vertex_format::Stride(formatWord)))
            return false;
        registry_.currentVertices = dynamicVertices_;
        registry_.verticesDynamic = true;
        dynamicFormat_ = formatWord;
    }
    return true;
}

bool RenderDevice::EnsureDynamicIndices() {
    if (registry_.dynamicIndices == kNoDynamicIndexBuffer) {
        registry_.dynamicIndices =
            registry_.Create(true, std::max(dynamicIndexCount_, kDynamicIndexCount), true);
        if (registry_.dynamicIndices == BufferRegistry::kNone) {
            registry_.dynamicIndices = kNoDynamicIndexBuffer;
            return false;
        }
    }
    if (!registry_.EnsureSize(registry_.dynamicIndices, std::max(dynamicIndexCount_, kDynamicIndexCount)))
        return false;
    if (registry_.currentIndices != registry_.dynamicIndices) {
        if (!backend_->SetIndices(registry_.DeviceHandle(registry_.dynamicIndices))) return false;
        registry_.currentIndices = registry_.dynamicIndices;
        registry_.indicesDynamic = true;
    }
    return true;
}

bool RenderDevice::GrowDynamic(std::uint32_t vertexBytes, std::uint32_t indexCount) {
    dynamicVertexBytes_ = std::max(dynamicVertexBytes_, vertexBytes);
    dynamicIndexCount_ = std::max(dynamicIndexCount_, indexCount);
    bool ok = true;
    if (dynamicVertices_ != kNoDynamicIndexBuffer)
        ok = registry_.EnsureSize(dynamicVertices_, std::max(dynamicVertexBytes_, kDynamicVertexBytes));
    if (registry_.dynamicIndices != kNoDynamicIndexBuffer)
        ok = registry_.EnsureSize(registry_.dynamicIndices,
                                  std::max(dynamicIndexCount_, kDynamicIndexCount)) &&
             ok;
    return ok;
}

bool RenderDevice::DrawUserTriangles(std::uint32_t formatWord, const void* vertices,
                                     std::uint32_t vertexCount, const std::uint16_t* indices,
                                     std::uint32_t indexCount) {
    if (vertexCount == 0 || indexCount < 3) return true;
    std::uint32_t bytes = vertexCount * platform::vertex_format::Stride(formatWord);
    if (bytes > dynamicVertexBytes_ || indexCount > dynamicIndexCount_) GrowDynamic(bytes, indexCount);
    if (!PrepareDynamicVertices(formatWord) || !EnsureDynamicIndices()) return false;
    if (!registry_.WriteVertices(dynamicVertices_, 0, vertices, bytes)) return false;
    if (!registry_.WriteIndices(registry_.dynamicIndices, 0, indices, indexCount)) return false;
    return backend_->DrawIndexedPrimitive(0, 0, vertexCount, 0, indexCount / 3);
}

bool RenderDevice::DrawPartDynamic(const MeshPart& part, std::uint32_t& verticesDrawn) {
    const Mesh* mesh = part.mesh;
    if (!mesh || part.indices.size() < 3) return true;
    std::uint32_t lowest, highest;
    part.IndexRange(lowest, highest);
    if (highest >= mesh->geometry.vertexCount) return false;
    std::uint32_t stride = mesh->Stride();
    std::uint32_t count = highest - lowest + 1;
    std::vector<std::uint16_t> rebased(part.indices.size() / 3 * 3);
    for (std::size_t i = 0; i < rebased.size(); ++i)
        rebased[i] = static_cast<std::uint16_t>(part.indices[i] - lowest);
    if (!DrawUserTriangles(mesh->geometry.format,
                           mesh->vertices.data() + static_cast<std::size_t>(lowest) * stride, count,
                           rebased.data(), static_cast<std::uint32_t>(rebased.size())))
        return false;
    verticesDrawn += count;
    return true;
}

// A part outside the sort tree's opaque branch brings its own material state: stage operations,
// textures, lighting and specular, without texture scrolling.
bool RenderDevice::DrawPart(const MeshPart& part, bool normals, std::uint32_t& verticesDrawn) {
    const Material* material = part.material.get();
    std::uint32_t flags = material ? material->flags : 0;
    if (!ApplyMaterialState(flags)) return false;
    std::uint32_t reduced = ReduceStageMask(flags & kStageMaskBits);
    std::uint32_t stage = 0;
    for (int slot = 0; slot < kStageSlots && material; ++slot) {
        if (!(reduced & RenderStateBit(slot))) continue;
        Texture* texture = material->SlotTexture(slot);
        bool ok = texture && texture->Restore() ? BindTextureHandle(stage, texture->Handle())
                                                : BindTextureHandle(stage, 0);
        if (!ok) return false;
        ++stage;
    }
    for (std::uint32_t s = 0; s < platform::kMaxTextureStages; ++s)
        if (CachedStageState(s, SState::TextureTransformFlags) != platform::kTextureTransformDisabled &&
            !SetStageState(s, SState::TextureTransformFlags, platform::kTextureTransformDisabled))
            return false;
    bool off = material && material->lightingOff;
    bool lit = material && material->lit && normals && !off;
    if (!EnableLights(lit && !(flags & RenderStateBit(kLightMapSlot)), lit, !off)) return false;
    if (lit && !SetSpecularEnable(material->specular != 0)) return false;
    return DrawPartDynamic(part, verticesDrawn);
}

// --- 2D, text, screenshots -------------------------------------------------------------------------

bool RenderDevice::FillRect(const Rect& rect, std::uint32_t argb) {
    if (!BindTextureHandle(0, 0)) return false;
    ApplyMaterialState(0);
    auto l = static_cast<float>(rect.left), t = static_cast<float>(rect.top);
    auto r = static_cast<float>(rect.right), b = static_cast<float>(rect.bottom);
    Vertex2D quad[4] = {
        {l, t, 0, argb, 0, 0}, {r, t, 0, argb, 1, 0}, {r, b, 0, argb, 1, 1}, {l, b, 0, argb, 0, 1}};
    static const std::uint16_t kQuad[6] = {0, 1, 2, 0, 2, 3};
    return DrawUserTriangles(k2DFormat, quad, 4, kQuad, 6);
}

bool RenderDevice::DrawImage(Texture* texture, const Rect& source, const Rect& destination,
                             std::uint32_t argb) {
    if (!texture) return FillRect(destination, argb);
    if (!texture->Bind(0)) return false;
    ApplyMaterialState(RenderStateBit(kDiffuseSlot));
    float w = static_cast<float>(texture->Width()), h = static_cast<float>(texture->Height());
    bool whole = source.right == source.left || source.bottom == source.top;
    float u0 = whole ? 0 : source.left / w, v0 = whole ? 0 : source.top / h;
    float u1 = whole ? 1 : source.right / w, v1 = whole ? 1 : source.bottom / h;
    auto l = static_cast<float>(destination.left), t = static_cast<float>(destination.top);
    auto r = static_cast<float>(destination.right), b = static_cast<float>(destination.bottom);
    Vertex2D quad[4] = {
        {l, t, 0, argb, u0, v0}, {r, t, 0, argb, u1, v0}, {r, b, 0, argb, u1, v1}, {l, b, 0, argb, u0, v1}};
    static const std::uint16_t kQuad[6] = {0, 1, 2, 0, 2, 3};
    return DrawUserTriangles(k2DFormat, quad, 4, kQuad, 6);
}

Font* RenderDevice::CreateFont(const WString& face, std::int32_t height, std::int32_t weight,
                               std::uint32_t style) {
    auto key = std::make_tuple(face, height, weight, style);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    std::unique_ptr<Font> font = Font::Create(this, face, height, weight, style);
    if (!font) return nullptr;
    return fonts_.emplace(key, std::move(font)).first->second.get();
}

bool RenderDevice::DrawText(Font* font, WStringView text, Rect& rect, std::uint32_t format,
                            std::uint32_t argb) {
    if (!font) return false;
    int width = 0, height = 0;
    font->Measure(text, width, height);
    if (format & text_format::kCalcRect) {
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
        return true;
    }
    if (text.empty()) return true;
    Texture* texture = font->TextTexture(text);
    if (!texture) return false;
    std::int32_t x = rect.left, y = rect.top;
    if (format & text_format::kCenter) x = rect.left + (rect.right - rect.left - width) / 2;
    if (format & text_format::kRight) x = rect.right - width;
    if (format & text_format::kVCenter) y = rect.top + (rect.bottom - rect.top - height) / 2;
    Rect destination{x, y, x + static_cast<std::int32_t>(texture->Width()),
                     y + static_cast<std::int32_t>(texture->Height())};
    return DrawImage(texture, {}, destination, argb);
}

bool RenderDevice::SaveScreenshot(const std::string& path) {
    platform::Image image;
    if (!backend_->ReadBack(image)) return false;
    std::string extension = path.size() >= 4 ? path.substr(path.find_last_of('.') + 1) : "";
    for (auto& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "png") return platform::SavePng(path, image);
    return platform::SaveJpeg(path, image, 95);
}

std::uint64_t RenderDevice::ClockMs() const {
    return platform::GetClock().NowMs();
}
