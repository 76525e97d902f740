#define GL_GLEXT_PROTOTYPES 1
// Drawing of the GL backend: texture stages as combiner units, lights in view space, client arrays.

#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_opengl_glext.h>

#include <algorithm>
#include <cstring>

#include "platform/video/GlBackend.h"
#include "platform/video/GlBackendState.h"

namespace platform {

namespace {

constexpr std::uint32_t kUnset = kGlUnset;

GLenum SourceOf(std::uint32_t arg) {
    switch (static_cast<StageArg>(arg)) {
        case StageArg::Diffuse:
            return GL_PRIMARY_COLOR;
        case StageArg::Current:
            return GL_PREVIOUS;
        case StageArg::Texture:
            return GL_TEXTURE;
    }
    return GL_PREVIOUS;
}

}  // namespace

// Texture stages become GL texture units with combiners; lights are placed in view space.
void GlBackend::ApplyDrawState() {
    State& s = *state_;
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(s.projection.m.data());
    glMatrixMode(GL_MODELVIEW);
    if (s.lightsDirty) {
        glLoadMatrixf(s.view.m.data());
        for (int i = 0; i < kMaxLights; ++i) {
            const LightRecord& light = s.lights[static_cast<std::size_t>(i)];
            GLenum id = GL_LIGHT0 + static_cast<GLenum>(i);
            float position[4];
            if (light.type == LightType::Directional) {
                position[0] = -light.direction[0], position[1] = -light.direction[1];
                position[2] = -light.direction[2], position[3] = 0;
            } else {
                position[0] = light.position[0], position[1] = light.position[1];
                position[2] = light.position[2], position[3] = 1;
            }
            glLightfv(id, GL_POSITION, position);
            glLightfv(id, GL_DIFFUSE, &light.diffuse.r);
            glLightfv(id, GL_SPECULAR, &light.specular.r);
            glLightfv(id, GL_AMBIENT, &light.ambient.r);
            glLightf(id, GL_CONSTANT_ATTENUATION,
                     light.type == LightType::Directional ? 1.0f : light.attenuation0);
            glLightf(id, GL_LINEAR_ATTENUATION,
                     light.type == LightType::Directional ? 0.0f : light.attenuation1);
            glLightf(id, GL_QUADRATIC_ATTENUATION,
                     light.type == LightType::Directional ? 0.0f : light.attenuation2);
        }
        s.lightsDirty = false;
    }
    glLoadMatrixf(s.view.m.data());
    glMultMatrixf(s.world.m.data());

    bool specular = s.states[static_cast<std::size_t>(RState::SpecularEnable)] == 1;
    const MaterialRecord& m = s.material;
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &m.diffuse.r);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, &m.ambient.r);
    const float black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular ? &m.specular.r : black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m.power, 0.0f, 128.0f));
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &m.emissive.r);

    bool colourSource = s.states[static_cast<std::size_t>(RState::DiffuseMaterialSource)] == 1 &&
                        (s.format & vertex_format::kDiffuse);
    colourSource ? glEnable(GL_COLOR_MATERIAL) : glDisable(GL_COLOR_MATERIAL);

    bool chainOpen = true;
    for (int unit = 0; unit < kMaxTextureStages; ++unit) {
        auto& stage = s.stages[static_cast<std::size_t>(unit)];
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        std::uint32_t colorOp = stage[static_cast<std::size_t>(SState::ColorOp)];
        if (unit > 0 && colorOp == kUnset) colorOp = static_cast<std::uint32_t>(StageOp::Disable);
        if (unit == 0 && colorOp == kUnset) colorOp = static_cast<std::uint32_t>(StageOp::Modulate);
        chainOpen = chainOpen && colorOp != static_cast<std::uint32_t>(StageOp::Disable);
        auto texture = s.textures.find(s.bound[static_cast<std::size_t>(unit)]);
        bool textured = s.bound[static_cast<std::size_t>(unit)] && texture != s.textures.end();
        if (!chainOpen || (!textured && unit > 0)) {
            glDisable(GL_TEXTURE_2D);
            chainOpen = false;
            continue;
        }
        glEnable(GL_TEXTURE_2D);
        // A stage without a texture passes the vertex colour through a white texel.
        glBindTexture(GL_TEXTURE_2D, textured ? texture->second.name : 0);
        if (!textured) glDisable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        auto combine = [&](std::uint32_t op, std::uint32_t arg1, std::uint32_t arg2, GLenum mode, GLenum src0,
                           GLenum src1, GLenum scale) {
            if (arg1 == kUnset) arg1 = static_cast<std::uint32_t>(StageArg::Texture);
            if (arg2 == kUnset)
                arg2 = static_cast<std::uint32_t>(unit == 0 ? StageArg::Diffuse : StageArg::Current);
            GLenum function = GL_MODULATE;
            float factor = 1;
            switch (static_cast<StageOp>(op)) {
                case StageOp::SelectArg1:
                    function = GL_REPLACE;
                    break;
                case StageOp::SelectArg2:
                    function = GL_REPLACE, arg1 = arg2;
                    break;
                case StageOp::Modulate2x:
                    factor = 2;
                    break;
                case StageOp::Add:
                    function = GL_ADD;
                    break;
                default:
                    break;
            }
            glTexEnvi(GL_TEXTURE_ENV, mode, static_cast<GLint>(function));
            glTexEnvi(GL_TEXTURE_ENV, src0, static_cast<GLint>(SourceOf(arg1)));
            glTexEnvi(GL_TEXTURE_ENV, src1, static_cast<GLint>(SourceOf(arg2)));
            if (scale) glTexEnvf(GL_TEXTURE_ENV, scale, factor);
        };
        combine(colorOp, stage[static_cast<std::size_t>(SState::ColorArg1)],
                stage[static_cast<std::size_t>(SState::ColorArg2)], GL_COMBINE_RGB, GL_SOURCE0_RGB,
                GL_SOURCE1_RGB, GL_RGB_SCALE);
        std::uint32_t alphaOp = stage[static_cast<std::size_t>(SState::AlphaOp)];
        if (alphaOp == kUnset || alphaOp == static_cast<std::uint32_t>(StageOp::Disable))
            alphaOp = static_cast<std::uint32_t>(unit == 0 ? StageOp::Modulate : StageOp::SelectArg2);
        combine(alphaOp, stage[static_cast<std::size_t>(SState::AlphaArg1)],
                stage[static_cast<std::size_t>(SState::AlphaArg2)], GL_COMBINE_ALPHA, GL_SOURCE0_ALPHA,
                GL_SOURCE1_ALPHA, 0);
        // Two-coordinate texture transforms carry their translation in the third row.
        glMatrixMode(GL_TEXTURE);
        bool scrolled =
            stage[static_cast<std::size_t>(SState::TextureTransformFlags)] == kTextureTransformCount2;
        if (scrolled) {
            const RawMatrix& t = s.textureMatrices[static_cast<std::size_t>(unit)];
            RawMatrix gl;
            gl.m[0] = t.m[0], gl.m[1] = t.m[1], gl.m[4] = t.m[4], gl.m[5] = t.m[5];
            gl.m[12] = t.m[8], gl.m[13] = t.m[9];
            glLoadMatrixf(gl.m.data());
        } else {
            glLoadIdentity();
        }
        glMatrixMode(GL_MODELVIEW);
    }
    glActiveTexture(GL_TEXTURE0);
}

bool GlBackend::DrawIndexedPrimitive(std::int32_t baseVertex, std::uint32_t, std::uint32_t numVertices,
                                     std::uint32_t startIndex, std::uint32_t primCount) {
    State& s = *state_;
    auto vb = s.buffers.find(s.vertices);
    auto ib = s.buffers.find(s.indices);
    if (!context_ || vb == s.buffers.end() || ib == s.buffers.end() || primCount == 0) return false;
    std::uint32_t stride = vertex_format::Stride(s.format);
    if (stride != s.stride) stride = s.stride;
    std::size_t indexEnd = (std::size_t{startIndex} + std::size_t{primCount} * 3) * 2;
    if (baseVertex < 0 || indexEnd > ib->second.bytes.size()) return false;
    const std::uint8_t* base = vb->second.bytes.data() + static_cast<std::size_t>(baseVertex) * stride;
    const auto* indices = reinterpret_cast<const std::uint16_t*>(ib->second.bytes.data()) + startIndex;
    // Every index must point inside the vertex buffer.
    std::size_t available =
        (vb->second.bytes.size() -
         std::min<std::size_t>(vb->second.bytes.size(), static_cast<std::size_t>(baseVertex) * stride)) /
        stride;
    for (std::uint32_t i = 0; i < primCount * 3; ++i)
        if (indices[i] >= available) return false;
    (void)numVertices;

    ApplyDrawState();
    std::size_t offset = 12;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, static_cast<GLsizei>(stride), base);
    if (s.format & vertex_format::kNormal) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, static_cast<GLsizei>(stride), base + offset);
        offset += 12;
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0, 1, 0);
    }
    if (s.format & vertex_format::kDiffuse) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, static_cast<GLsizei>(stride), base + offset);
        offset += 4;
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1, 1, 1, s.material.diffuse.a);
    }
    std::uint32_t sets = vertex_format::TexCount(s.format);
    for (std::uint32_t unit = 0; unit < kMaxTextureStages; ++unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        if (sets == 0) {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            continue;
        }
        std::uint32_t set = std::min(unit, sets - 1);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, static_cast<GLsizei>(stride), base + offset + set * 8);
    }
    glClientActiveTexture(GL_TEXTURE0);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(primCount * 3), GL_UNSIGNED_SHORT, indices);
    return glGetError() == GL_NO_ERROR;
}

}  // namespace platform
