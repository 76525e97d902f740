#pragma once
// Plain BONE, BONE_ANIMATION, VERTEX_ANIMATION and MODEL_ANIMATION records.

#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "engine/resource/ResourceTypes.h"

struct BoneNodeData {
    WString name;
    int32_t parent = -1;
    Float4x4 bindPose;
    bool operator==(const BoneNodeData&) const = default;
};

struct BoneData {
    std::vector<BoneNodeData> bones;  // parents before children
    bool operator==(const BoneData&) const = default;
};

// One key of a transform track: time in ms, position, rotation quaternion (x, y, z, w), scale.
struct TransformKey {
    uint32_t timeMs = 0;
    Float3 position;
    Float4 rotation = {0, 0, 0, 1};
    Float3 scale = {1, 1, 1};
    bool operator==(const TransformKey&) const = default;
};

struct TransformTrack {
    WString target;  // bone or node name
    std::vector<TransformKey> keys;
    bool operator==(const TransformTrack&) const = default;
};

struct BoneAnimationData {
    uint32_t lengthMs = 0;
    std::vector<TransformTrack> tracks;
    bool operator==(const BoneAnimationData&) const = default;
};

struct ModelAnimationData {
    uint32_t lengthMs = 0;
    uint8_t loop = 1;
    std::vector<TransformTrack> tracks;
    bool operator==(const ModelAnimationData&) const = default;
};

struct VertexAnimationFrame {
    uint32_t timeMs = 0;
    std::vector<Float3> positions;  // one per vertex of the mesh
    bool operator==(const VertexAnimationFrame&) const = default;
};

struct VertexAnimationData {
    uint32_t meshId = kEmptyResourceId;
    std::vector<VertexAnimationFrame> frames;
    bool operator==(const VertexAnimationData&) const = default;
};
