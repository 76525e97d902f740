#pragma once
// Plain MODEL record: a tree of named nodes, each optionally drawing a mesh of the same group.

#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "engine/resource/ResourceTypes.h"

constexpr int32_t kNoParentNode = -1;
constexpr uint32_t kNoCullOverride = 0xFFFFFFFFu;

struct ModelNodeData {
    WString name;
    int32_t parent = kNoParentNode;  // index of an earlier node, or kNoParentNode for a root
    Float4x4 local;                  // relative to the parent
    uint32_t meshId = kEmptyResourceId;
    uint16_t blendMode = 0;  // 0 opaque, 1 blended
    uint32_t cullMode = kNoCullOverride;
    int16_t drawOrder = 0;
    uint32_t flags = 0;  // model flags, e.g. kModelNodeUsesShadowStage
    bool operator==(const ModelNodeData&) const = default;
};

// Node flag: the preview applies the "shadow" texture (stage 5) instead of "reflection" (stage 3).
constexpr uint32_t kModelNodeUsesShadowStage = 0x1;

struct ModelData {
    std::vector<ModelNodeData> nodes;  // parents before children
    BoundingSphere bounds;
    bool operator==(const ModelData&) const = default;
};
