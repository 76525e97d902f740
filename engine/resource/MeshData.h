#pragma once
// Plain mesh record: one vertex array in the engine vertex format and parts of 16-bit index triples,
// each part drawn with one material of the same group.

#include <cstdint>
#include <vector>

#include "engine/resource/ResourceTypes.h"

// Engine vertex-format word. Vertex layout in this order: position (3 f32), normal (3 f32) when
// kNormal, diffuse colour (u32 0xAARRGGBB) when kDiffuse, then N texture coordinate pairs (2 f32 each).
namespace vertex_format {
constexpr uint32_t kPosition = 0x1;
constexpr uint32_t kNormal = 0x4;
constexpr uint32_t kDiffuse = 0x10;
constexpr uint32_t kTexCountShift = 8;
constexpr uint32_t kTexCountMask = 0xF00;
constexpr uint32_t kMaxTexCoordSets = 8;
constexpr uint32_t kKnownBits = kPosition | kNormal | kDiffuse | kTexCountMask;

constexpr uint32_t Make(bool normal, bool diffuse, uint32_t texCoordSets) {
    return kPosition | (normal ? kNormal : 0) | (diffuse ? kDiffuse : 0) |
           ((texCoordSets << kTexCountShift) & kTexCountMask);
}
constexpr uint32_t TexCoordSets(uint32_t format) {
    return (format & kTexCountMask) >> kTexCountShift;
}
// Bytes per vertex; 0 for a word this engine cannot draw (no position, unknown bits, > 8 sets).
constexpr uint32_t Stride(uint32_t format) {
    if ((format & kPosition) == 0 || (format & ~kKnownBits) != 0 || TexCoordSets(format) > kMaxTexCoordSets) {
        return 0;
    }
    return 12 + ((format & kNormal) ? 12 : 0) + ((format & kDiffuse) ? 4 : 0) + 8 * TexCoordSets(format);
}
}  // namespace vertex_format

struct MeshPartData {
    uint32_t materialId = 0;        // MATERIAL resource id in the same group
    std::vector<uint16_t> indices;  // triangle list, three indices per triangle
    BoundingSphere bounds;
    bool operator==(const MeshPartData&) const = default;
};

struct MeshData {
    uint32_t vertexFormat = vertex_format::kPosition;
    uint32_t vertexCount = 0;
    std::vector<uint8_t> vertices;  // vertexCount * Stride(vertexFormat) bytes, little-endian
    std::vector<MeshPartData> parts;
    BoundingSphere bounds;
    uint8_t dynamic = 0;  // drawn from the dynamic buffers instead of a static set
    bool operator==(const MeshData&) const = default;
};
