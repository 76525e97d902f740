#define GL_GLEXT_PROTOTYPES 1
#include "platform/video/GlBackend.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_opengl_glext.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/video/FrameFit.h"
#include "platform/video/GlBackendState.h"

namespace platform {

namespace {

constexpr std::uint32_t kUnset = kGlUnset;

float BitsToFloat(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

void ArgbToFloats(std::uint32_t argb, float out[4]) {
    out[0] = ((argb >> 16) & 0xFF) / 255.0f;
    out[1] = ((argb >> 8) & 0xFF) / 255.0f;
    out[2] = (argb & 0xFF) / 255.0f;
    out[3] = ((argb >> 24) & 0xFF) / 255.0f;
}

GLenum BlendFactorOf(std::uint32_t value) {
    switch (static_cast<BlendFactor>(value)) {
        case BlendFactor::Zero:
            return GL_ZERO;
        case BlendFactor::One:
            return GL_ONE;
        case BlendFactor::SrcAlpha:
            return GL_SRC_ALPHA;
        case BlendFactor::InvSrcAlpha:
            return GL_ONE_MINUS_SRC_ALPHA;
    }
    return GL_ONE;
}

// The modes SDL reports, normalised: 24-bit desktops count as 32-bit, 0 Hz as 60 Hz.
const ModeRecord kFallbackModes[] = {
    {1024, 768, 32, 60}, {1280, 720, 32, 60}, {1280, 1024, 32, 60}, {1920, 1080, 32, 60}};

}  // namespace

GlBackend::GlBackend(void* window) : window_(window), state_(std::make_unique<State>()) {}

GlBackend::~GlBackend() {
    if (!context_) return;
    context_->MakeCurrent();
    for (auto& [handle, texture] : state_->textures) {
        glDeleteTextures(1, &texture.name);
        if (texture.framebuffer) glDeleteFramebuffers(1, &texture.framebuffer);
        if (texture.depth) glDeleteRenderbuffers(1, &texture.depth);
    }
    if (state_->frame) glDeleteFramebuffers(1, &state_->frame);
    if (state_->frameColor) glDeleteTextures(1, &state_->frameColor);
    if (state_->frameDepth) glDeleteRenderbuffers(1, &state_->frameDepth);
}

std::string GlBackend::RendererName() const {
    return context_ ? context_->Renderer() : std::string();
}

bool GlBackend::MakeFrame(int width, int height) {
    State& s = *state_;
    if (s.frame) glDeleteFramebuffers(1, &s.frame);
    if (s.frameColor) glDeleteTextures(1, &s.frameColor);
    if (s.frameDepth) glDeleteRenderbuffers(1, &s.frameDepth);
    glGenTextures(1, &s.frameColor);
    glBindTexture(GL_TEXTURE_2D, s.frameColor);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenRenderbuffers(1, &s.frameDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, s.frameDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &s.frame);
    glBindFramebuffer(GL_FRAMEBUFFER, s.frame);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, s.frameColor, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, s.frameDepth);
    glBindTexture(GL_TEXTURE_2D, 0);
    s.width = width;
    s.height = height;
    s.targetHeight = height;
    s.target = 0;
    glViewport(0, 0, width, height);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

int GlBackend::Init(const DisplayMode& mode) {
    if (!context_) {
        context_ = GlContext::Create(window_, mode.width, mode.height, &error_);
        if (!context_) return static_cast<int>(DeviceResult::ContextFailed);
    }
    context_->MakeCurrent();
    SetVsync(mode);
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glAlphaFunc(GL_GEQUAL, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    state_->states.fill(kUnset);
    for (auto& stage : state_->stages) stage.fill(kUnset);
    return MakeFrame(mode.width, mode.height) ? 0 : static_cast<int>(DeviceResult::CreateFailed);
}

void GlBackend::SetVsync(const DisplayMode& mode) {
    const bool waits = context_->SetSwapInterval(mode.vsync ? 1 : 0);
    refreshPeriodUs_ = mode.vsync && !waits ? 1'000'000 / std::max<int>(mode.refresh, 1) : 0;
}

int GlBackend::Reset(const DisplayMode& mode) {
    if (!context_) return Init(mode);
    context_->MakeCurrent();
    SetVsync(mode);
    return MakeFrame(mode.width, mode.height) ? 0 : static_cast<int>(DeviceResult::ResetFailed);
}

int GlBackend::QueryCaps(DeviceCaps& caps) {
    caps = DeviceCaps{};
    caps.immediatePresent = 1;
    caps.dxt1 = 1;
    caps.hardwareTnL = 1;
    caps.tableFog = 1;
    caps.bumpEnvMap = 0;  // no fixed-function bump environment mapping in OpenGL
    caps.cubeTextures = 0;
    caps.slot1 = 1;
    caps.slot5 = 1;
    caps.slot2a = caps.slot2b = 0;
    GLint maxTexture = 2048, units = 8, anisotropy = 1;
    if (context_) {
        context_->MakeCurrent();
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
        glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
        GLfloat maxAnisotropy = 1;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maxAnisotropy);
        anisotropy = static_cast<GLint>(maxAnisotropy);
    }
    caps.anisotropic = anisotropy > 1 ? 1 : 0;
    caps.maxAnisotropy = static_cast<std::uint16_t>(std::max(anisotropy, 1));
    caps.capabilityWord = caps.maxAnisotropy;
    caps.maxTextureWidth = caps.maxTextureHeight = static_cast<std::uint16_t>(std::min(maxTexture, 16384));
    caps.maxBlendStages = caps.maxSimultaneousTextures =
        static_cast<std::uint16_t>(std::min(units, kMaxTextureStages));
    caps.lightLimit = kMaxLights;
    caps.multisampleTypes = {0};
    return 0;
}

void GlBackend::QueryModes(std::vector<ModeRecord>& modes) {
    std::vector<ModeRecord> found;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
            int bits = SDL_BITSPERPIXEL(mode.format);
            ModeRecord record{static_cast<std::uint16_t>(mode.w), static_cast<std::uint16_t>(mode.h),
                              static_cast<std::uint16_t>(bits >= 24 ? 32 : 16),
                              static_cast<std::uint16_t>(mode.refresh_rate > 0 ? mode.refresh_rate : 60)};
            if (record.width < 640 || record.height < 480) continue;
            if (std::find(found.begin(), found.end(), record) == found.end()) found.push_back(record);
        }
    }
    if (found.empty()) found.assign(std::begin(kFallbackModes), std::end(kFallbackModes));
    modes.insert(modes.end(), found.begin(), found.end());
}

bool GlBackend::QueryVideoMemory(std::uint32_t& textureKb, std::uint64_t& totalBytes,
                                 std::uint64_t& freeBytes) {
    textureKb = 0;
    totalBytes = freeBytes = 0;
    return false;
}

bool GlBackend::SetRenderState(RState state, std::uint32_t value) {
    if (!context_) return false;
    state_->states[static_cast<std::size_t>(state)] = value;
    auto enable = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };
    switch (state) {
        case RState::AlphaBlendEnable:
            enable(GL_BLEND, value != 0);
            break;
        case RState::AlphaRef:
            glAlphaFunc(GL_GEQUAL, static_cast<float>(value & 0xFF) / 255.0f);
            break;
        case RState::AlphaTestEnable:
            enable(GL_ALPHA_TEST, value != 0);
            break;
        case RState::SrcBlend:
        case RState::DestBlend: {
            std::uint32_t src = state_->states[static_cast<std::size_t>(RState::SrcBlend)];
            std::uint32_t dst = state_->states[static_cast<std::size_t>(RState::DestBlend)];
            glBlendFunc(src == kUnset ? GL_SRC_ALPHA : BlendFactorOf(src),
                        dst == kUnset ? GL_ONE_MINUS_SRC_ALPHA : BlendFactorOf(dst));
            break;
        }
        case RState::CullMode:
            if (value == static_cast<std::uint32_t>(CullValue::None)) {
                glDisable(GL_CULL_FACE);
            } else {
                glEnable(GL_CULL_FACE);
                glCullFace(GL_BACK);
                // Clockwise culling keeps counter-clockwise faces, and the other way round.
                glFrontFace(value == static_cast<std::uint32_t>(CullValue::Clockwise) ? GL_CCW : GL_CW);
            }
            break;
        case RState::Lighting:
            enable(GL_LIGHTING, value != 0);
            break;
        case RState::SpecularEnable:
            break;  // applied with the material
        case RState::NormalizeNormals:
            enable(GL_NORMALIZE, value != 0);
            break;
        case RState::DiffuseMaterialSource:
        case RState::AmbientMaterialSource:
            break;  // applied per draw from the vertex format
        case RState::ZEnable:
            enable(GL_DEPTH_TEST, value != 0);
            break;
        case RState::ZWriteEnable:
            glDepthMask(value ? GL_TRUE : GL_FALSE);
            break;
        case RState::Ambient: {
            float colour[4];
            ArgbToFloats(value, colour);
            glLightModelfv(GL_LIGHT_MODEL_AMBIENT, colour);
            break;
        }
        case RState::FogEnable:
            enable(GL_FOG, value != 0);
            glFogi(GL_FOG_MODE, GL_LINEAR);
            break;
        case RState::FogColor: {
            float colour[4];
            ArgbToFloats(value, colour);
            glFogfv(GL_FOG_COLOR, colour);
            break;
        }
        case RState::FogStart:
            glFogf(GL_FOG_START, BitsToFloat(value));
            break;
        case RState::FogEnd:
            glFogf(GL_FOG_END, BitsToFloat(value));
            break;
        case RState::FogDensity:
            glFogf(GL_FOG_DENSITY, BitsToFloat(value));
            break;
        case RState::Count:
            return false;
    }
    return true;
}

bool GlBackend::SetStageState(std::uint32_t stage, SState state, std::uint32_t value) {
    if (!context_ || stage >= kMaxTextureStages || state == SState::Count) return false;
    state_->stages[stage][static_cast<std::size_t>(state)] = value;
    return true;
}

bool GlBackend::SetSamplerFilter(std::uint32_t filter, std::uint32_t anisotropy) {
    state_->minFilter = filter == 1 ? GL_LINEAR : GL_LINEAR_MIPMAP_LINEAR;
    state_->anisotropy = filter == 3 ? static_cast<float>(std::max<std::uint32_t>(anisotropy, 1)) : 1.0f;
    return true;
}

bool GlBackend::SetVertexFormat(std::uint32_t formatWord) {
    if (!(formatWord & vertex_format::kPosition)) return false;
    state_->format = formatWord;
    return true;
}

bool GlBackend::SetTransform(std::uint32_t kind, const RawMatrix& matrix) {
    State& s = *state_;
    if (kind == static_cast<std::uint32_t>(TransformKind::World))
        s.world = matrix;
    else if (kind == static_cast<std::uint32_t>(TransformKind::View)) {
        s.view = matrix;
        s.lightsDirty = true;
    } else if (kind == static_cast<std::uint32_t>(TransformKind::Projection))
        s.projection = matrix;
    else if (kind >= static_cast<std::uint32_t>(TransformKind::Texture0) &&
             kind < static_cast<std::uint32_t>(TransformKind::Texture0) + kMaxTextureStages)
        s.textureMatrices[kind - static_cast<std::uint32_t>(TransformKind::Texture0)] = matrix;
    else
        return false;
    return true;
}

bool GlBackend::SetLight(std::uint32_t index, const LightRecord& light) {
    if (index >= kMaxLights) return false;
    state_->lights[index] = light;
    state_->lightsDirty = true;
    return true;
}

bool GlBackend::EnableLight(std::uint32_t index, bool on) {
    if (index >= kMaxLights || !context_) return false;
    state_->lightOn[index] = on;
    on ? glEnable(GL_LIGHT0 + index) : glDisable(GL_LIGHT0 + index);
    return true;
}

bool GlBackend::SetMaterial(const MaterialRecord& material) {
    state_->material = material;
    return true;
}

TextureHandle GlBackend::CreateTexture(const TextureDesc& desc, const void* pixels, std::size_t bytes) {
    if (!context_ || desc.width == 0 || desc.height == 0 || desc.width > 16384 || desc.height > 16384)
        return 0;
    State::Texture texture;
    texture.desc = desc;
    glGenTextures(1, &texture.name);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    auto w = static_cast<GLsizei>(desc.width), h = static_cast<GLsizei>(desc.height);
    bool ok = true;
    if (desc.format == TextureFormat::Dxt1) {
        std::size_t need = static_cast<std::size_t>((desc.width + 3) / 4) * ((desc.height + 3) / 4) * 8;
        ok = pixels && bytes >= need;
        if (ok)
            glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGB_S3TC_DXT1_EXT, w, h, 0,
                                   static_cast<GLsizei>(need), pixels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    } else if (desc.format == TextureFormat::Alpha8) {
        ok = !pixels || bytes >= std::size_t{desc.width} * desc.height;
        if (ok) glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, w, h, 0, GL_ALPHA, GL_UNSIGNED_BYTE, pixels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    } else {
        ok = !pixels || bytes >= std::size_t{desc.width} * desc.height * 4;
        if (ok) glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        if (!desc.renderTarget && pixels) {
            glGenerateMipmap(GL_TEXTURE_2D);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, state_->minFilter);
            if (state_->anisotropy > 1)
                glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, state_->anisotropy);
        } else {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        }
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!ok) {
        glDeleteTextures(1, &texture.name);
        return 0;
    }
    if (desc.renderTarget) {
        glGenRenderbuffers(1, &texture.depth);
        glBindRenderbuffer(GL_RENDERBUFFER, texture.depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
        glGenFramebuffers(1, &texture.framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, texture.framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.name, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, texture.depth);
        glBindFramebuffer(GL_FRAMEBUFFER,
                          state_->target ? state_->textures[state_->target].framebuffer : state_->frame);
    }
    TextureHandle handle = state_->nextHandle++;
    state_->textures[handle] = texture;
    for (auto& bound : state_->bound)
        if (bound == handle) bound = 0;
    return handle;
}

bool GlBackend::UpdateTexture(TextureHandle handle, const void* pixels, std::size_t bytes) {
    auto it = state_->textures.find(handle);
    if (it == state_->textures.end() || it->second.desc.format != TextureFormat::Rgba8) return false;
    const TextureDesc& desc = it->second.desc;
    if (bytes < std::size_t{desc.width} * desc.height * 4) return false;
    glBindTexture(GL_TEXTURE_2D, it->second.name);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(desc.width),
                    static_cast<GLsizei>(desc.height), GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

void GlBackend::DestroyTexture(TextureHandle handle) {
    auto it = state_->textures.find(handle);
    if (it == state_->textures.end()) return;
    glDeleteTextures(1, &it->second.name);
    if (it->second.framebuffer) glDeleteFramebuffers(1, &it->second.framebuffer);
    if (it->second.depth) glDeleteRenderbuffers(1, &it->second.depth);
    state_->textures.erase(it);
    for (auto& bound : state_->bound)
        if (bound == handle) bound = 0;
}

bool GlBackend::SetTexture(std::uint32_t stage, TextureHandle texture) {
    if (stage >= kMaxTextureStages) return false;
    if (texture && !state_->textures.count(texture)) return false;
    state_->bound[stage] = texture;
    return true;
}

BufferHandle GlBackend::CreateVertexBuffer(std::size_t bytes, bool) {
    BufferHandle handle = state_->nextHandle++;
    state_->buffers[handle].bytes.resize(bytes);
    return handle;
}

BufferHandle GlBackend::CreateIndexBuffer(std::size_t count, bool) {
    BufferHandle handle = state_->nextHandle++;
    auto& buffer = state_->buffers[handle];
    buffer.bytes.resize(count * 2);
    buffer.indices = true;
    return handle;
}

bool GlBackend::WriteVertexBuffer(BufferHandle buffer, std::size_t offset, const void* data,
                                  std::size_t bytes) {
    auto it = state_->buffers.find(buffer);
    if (it == state_->buffers.end() || offset + bytes > it->second.bytes.size()) return false;
    if (bytes) std::memcpy(it->second.bytes.data() + offset, data, bytes);
    return true;
}

bool GlBackend::WriteIndexBuffer(BufferHandle buffer, std::size_t first, const std::uint16_t* data,
                                 std::size_t count) {
    return WriteVertexBuffer(buffer, first * 2, data, count * 2);
}

void GlBackend::DestroyBuffer(BufferHandle buffer) {
    state_->buffers.erase(buffer);
}

bool GlBackend::SetStreamSource(BufferHandle vertices, std::uint32_t stride) {
    if (!state_->buffers.count(vertices)) return false;
    state_->vertices = vertices;
    state_->stride = stride;
    return true;
}

bool GlBackend::SetIndices(BufferHandle indices) {
    if (!state_->buffers.count(indices)) return false;
    state_->indices = indices;
    return true;
}

bool GlBackend::SetRenderTarget(TextureHandle target) {
    if (!context_) return false;
    if (target) {
        auto it = state_->textures.find(target);
        if (it == state_->textures.end() || !it->second.framebuffer) return false;
        glBindFramebuffer(GL_FRAMEBUFFER, it->second.framebuffer);
        state_->targetHeight = static_cast<int>(it->second.desc.height);
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, state_->frame);
        state_->targetHeight = state_->height;
    }
    state_->target = target;
    return true;
}

bool GlBackend::SetViewport(const Viewport& v) {
    if (!context_) return false;
    // The device's viewport origin is the top-left corner.
    glViewport(v.x, state_->targetHeight - v.y - static_cast<GLint>(v.height), static_cast<GLsizei>(v.width),
               static_cast<GLsizei>(v.height));
    glDepthRange(v.minZ, v.maxZ);
    return true;
}

bool GlBackend::Clear(std::uint32_t flags, std::uint32_t argb, float depth) {
    if (!context_) return false;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glScissor(viewport[0], viewport[1], viewport[2], viewport[3]);
    glEnable(GL_SCISSOR_TEST);
    float colour[4];
    ArgbToFloats(argb, colour);
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glClearDepth(depth);
    GLboolean depthMask;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    glDepthMask(GL_TRUE);
    glClear((flags & clear_flags::kColor ? GL_COLOR_BUFFER_BIT : 0) |
            (flags & clear_flags::kDepth ? GL_DEPTH_BUFFER_BIT : 0));
    glDepthMask(depthMask);
    glDisable(GL_SCISSOR_TEST);
    return true;
}

bool GlBackend::Present() {
    if (!context_) return false;
    int width = 0, height = 0;
    context_->DrawableSize(width, height);
    const FrameFit fit = FitFrame(state_->width, state_->height, width, height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, state_->frame);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (fit.width != width || fit.height != height) {
        // Black bars beside a frame of another aspect. Clear sets its own colour every time.
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // The window's rows run bottom-up: the fit's top edge is measured from the top.
    const int bottom = height - fit.y - fit.height;
    glBlitFramebuffer(0, 0, state_->width, state_->height, fit.x, bottom, fit.x + fit.width,
                      bottom + fit.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    context_->Swap();
    if (refreshPeriodUs_ > 0) {
        const auto now = [] {
            return std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
        const std::int64_t wait = lastPresentUs_ + refreshPeriodUs_ - now();
        if (wait > 0 && wait <= refreshPeriodUs_)
            std::this_thread::sleep_for(std::chrono::microseconds(wait));
        lastPresentUs_ = now();
    }
    glBindFramebuffer(GL_FRAMEBUFFER,
                      state_->target ? state_->textures[state_->target].framebuffer : state_->frame);
    return true;
}

bool GlBackend::ReadBack(Image& image) {
    if (!context_ || !state_->frame) return false;
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, state_->frame);
    image.width = static_cast<std::uint32_t>(state_->width);
    image.height = static_cast<std::uint32_t>(state_->height);
    std::vector<std::uint8_t> rows(std::size_t{image.width} * image.height * 4);
    glReadPixels(0, 0, state_->width, state_->height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER,
                      state_->target ? state_->textures[state_->target].framebuffer : state_->frame);
    // GL rows run bottom-up.
    image.rgba.resize(rows.size());
    std::size_t pitch = std::size_t{image.width} * 4;
    for (std::uint32_t y = 0; y < image.height; ++y)
        std::memcpy(image.rgba.data() + y * pitch, rows.data() + (image.height - 1 - y) * pitch, pitch);
    return glGetError() == GL_NO_ERROR;
}

}  // namespace platform
