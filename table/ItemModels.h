#pragma once
// The 3D models the item previews show, made from the generated resource tree: a personal cue
// (items 3100 to 3110) put together from its five tuning parts, any other cue from its "Cue<n>"
// model. Other items have no model here (the preview shows its stand-in shape).
//
// Threads: main thread (the owner's render step).

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class Mesh;
class RenderDevice;
class ResourceManager;

namespace table {

using CuePartIds = std::array<std::uint16_t, 5>;

// Null when the item has no model or a node it needs is missing.
std::shared_ptr<Mesh> BuildItemModel(RenderDevice& device, ResourceManager& resources, std::uint32_t itemId,
                                     const CuePartIds& parts);

// One mesh holding the parts of all the given meshes, or null when they are none, differ in
// vertex format or hold more vertices together than 16-bit indices reach.
std::shared_ptr<Mesh> MergeMeshes(const std::vector<std::shared_ptr<Mesh>>& meshes);

}  // namespace table
