// Buffers, draws, 2D drawing, text and screenshots of the render device.

#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/render/Font.h"
#include "engine/render/Material.h"
#include "engine/render/Mesh.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Texture.h"
#include "platform/sys/Clock.h"
#include "platform/video/ImageFile.h"

using platform::SState;

namespace {

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
