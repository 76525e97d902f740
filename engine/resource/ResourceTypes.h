#pragma once
// Shared vocabulary of the resource system: the 14 resource types, small value types used by the
// plain data records, and the constants of the package format.

#include <array>
#include <cstdint>
#include <string_view>

// The typed managers of a group, one per type. The numeric values are stored in packages.
enum class ResourceType : uint16_t {
    Texture = 0,
    Bone = 1,
    Material = 2,
    Mesh = 3,
    Sound = 4,
    Model = 5,
    Sprite = 6,
    SpriteAnimation = 7,
    BoneAnimation = 8,
    VertexAnimation = 9,
    ModelAnimation = 10,
    SceneInfo = 11,
    StringTable = 12,
    Binary = 13,
};
constexpr int kResourceTypeCount = 14;

// Upper-case type names as the log and the "Loading error" box show them.
constexpr std::array<std::string_view, kResourceTypeCount> kResourceTypeNames = {
    "TEXTURE",         "BONE",       "MATERIAL",         "MESH",           "SOUND",
    "MODEL",           "SPRITE",     "SPRITE_ANIMATION", "BONE_ANIMATION", "VERTEX_ANIMATION",
    "MODEL_ANIMATION", "SCENE_INFO", "STRING_TABLE",     "BINARY",
};

constexpr std::string_view ResourceTypeName(ResourceType type) {
    const auto index = static_cast<size_t>(type);
    return index < kResourceTypeNames.size() ? kResourceTypeNames[index] : std::string_view("UNKNOWN");
}

// Id of the shared empty resource that every failed lookup returns. Package ids are never this value.
constexpr uint32_t kEmptyResourceId = 0xFFFFFFFFu;
// Type reported as "type:%d" when a failure is not about one resource type (missing file, bad header).
constexpr int kNoResourceType = -1;

struct Float2 {
    float x = 0.0f, y = 0.0f;
    bool operator==(const Float2&) const = default;
};
struct Float3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    bool operator==(const Float3&) const = default;
};
struct Float4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
    bool operator==(const Float4&) const = default;
};
// Row-vector matrix, translation in the fourth row (elements 12, 13, 14), as the engine uses it.
struct Float4x4 {
    std::array<float, 16> m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    bool operator==(const Float4x4&) const = default;
    static Float4x4 Translation(float x, float y, float z) {
        Float4x4 r;
        r.m[12] = x;
        r.m[13] = y;
        r.m[14] = z;
        return r;
    }
};

struct BoundingSphere {
    Float3 center;
    float radius = 0.0f;
    bool operator==(const BoundingSphere&) const = default;
};

// Package file layout constants (docs/resources.md).
namespace package_format {
constexpr std::array<char, 4> kMagic = {'M', 'V', 'P', 'K'};
constexpr uint16_t kVersion = 1;
constexpr std::string_view kExtension = ".mpk";
constexpr uint32_t kNoParent = 0xFFFFFFFFu;
// Bounds a reader enforces before it allocates anything.
constexpr uint32_t kMaxGroups = 4096;
constexpr uint32_t kMaxGroupRawBytes = 256u * 1024u * 1024u;
constexpr uint32_t kMaxRecordsPerGroup = 1u << 20;
constexpr uint32_t kMaxPackageBytes = 1024u * 1024u * 1024u;
}  // namespace package_format
