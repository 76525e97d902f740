#pragma once
// The GL backend's own state, shared by its source files. Included only by platform/video.

#include <SDL_opengl.h>

#include <array>
#include <map>
#include <vector>

#include "platform/video/GlBackend.h"

namespace platform {

constexpr std::uint32_t kGlUnset = 0xFFFFFFFF;

struct GlBackend::State {
    struct Texture {
        GLuint name = 0;
        TextureDesc desc;
        GLuint framebuffer = 0;
        GLuint depth = 0;
    };
    struct Buffer {
        std::vector<std::uint8_t> bytes;
        bool indices = false;
    };
    std::map<TextureHandle, Texture> textures;
    std::map<BufferHandle, Buffer> buffers;
    std::uint32_t nextHandle = 1;

    GLuint frame = 0, frameColor = 0, frameDepth = 0;
    int width = 0, height = 0;
    int targetHeight = 0;
    TextureHandle target = 0;

    std::uint32_t format = kPosition();
    static constexpr std::uint32_t kPosition() { return 1; }
    BufferHandle vertices = 0, indices = 0;
    std::uint32_t stride = 12;
    RawMatrix world, view, projection;
    std::array<RawMatrix, kMaxTextureStages> textureMatrices{};
    std::array<std::array<std::uint32_t, static_cast<std::size_t>(SState::Count)>, kMaxTextureStages>
        stages{};
    std::array<TextureHandle, kMaxTextureStages> bound{};
    std::array<LightRecord, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightOn{};
    std::array<std::uint32_t, static_cast<std::size_t>(RState::Count)> states{};
    MaterialRecord material;
    bool lightsDirty = true;
    GLenum minFilter = GL_LINEAR_MIPMAP_LINEAR;
    float anisotropy = 1;
};

}  // namespace platform
