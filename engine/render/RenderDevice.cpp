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
