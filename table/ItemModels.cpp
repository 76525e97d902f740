#include "table/ItemModels.h"

#include <string>

#include "engine/core/Text.h"
#include "engine/render/Mesh.h"
#include "engine/render/SceneBuilder.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/ResourcePackage.h"
#include "table/TableItems.h"

namespace table {

namespace {

constexpr std::uint32_t kFirstPersonalCue = 3100, kLastPersonalCue = 3110;
constexpr std::uint32_t kFirstCue = 3000, kLastCue = 3999;
constexpr const char16_t* kPartGroups[5] = {u"TuneShaft", u"TuneButt", u"TuneJoint", u"TuneBumper",
                                            u"TuneTip"};

const ResourceGroup* OpenGroup(ResourceManager& resources, const char16_t* name) {
    ResourcePackage* package = resources.OpenPackage(name);
    return package ? package->FindGroup(name) : nullptr;
}

std::shared_ptr<Mesh> NamedMesh(RenderDevice& device, const ResourceGroup& group,
                                const std::u16string& name) {
    const auto& mesh = group.GetMeshManager().FindOrLoadByName(name);
    if (!mesh || mesh->IsEmpty()) return nullptr;
    SceneBuilder builder(device, group);
    return builder.GetMesh(mesh->id);
}

// The part meshes lie in the cue's own frame (tip at the origin, the cue along +x), so they fit
// together as they are.
std::shared_ptr<Mesh> PersonalCueModel(RenderDevice& device, ResourceManager& resources,
                                       const CuePartIds& parts) {
    const ResourceGroup* root = OpenGroup(resources, u"BillObject");
    if (!root) return nullptr;
    std::vector<std::shared_ptr<Mesh>> meshes;
    for (std::size_t g = 0; g < parts.size(); ++g) {
        const ResourceGroup* group = root->FindPath({u"Cues", u"TunningCue", kPartGroups[g]});
        std::shared_ptr<Mesh> mesh =
            group ? NamedMesh(device, *group, FromUtf8(std::to_string(parts[g] + 1))) : nullptr;
        // A cue missing a part would show a gap: the whole cue is left to the plain model.
        if (!mesh) return nullptr;
        meshes.push_back(std::move(mesh));
    }
    return MergeMeshes(meshes);
}

}  // namespace

std::shared_ptr<Mesh> MergeMeshes(const std::vector<std::shared_ptr<Mesh>>& meshes) {
    if (meshes.empty() || !meshes.front()) return nullptr;
    const std::uint32_t format = meshes.front()->geometry.format;
    std::size_t vertexCount = 0;
    for (const auto& m : meshes) {
        if (!m || m->geometry.format != format) return nullptr;
        vertexCount += m->geometry.vertexCount;
    }
    if (vertexCount > 65536) return nullptr;
    std::vector<std::uint8_t> bytes;
    for (const auto& m : meshes) bytes.insert(bytes.end(), m->vertices.begin(), m->vertices.end());
    auto merged = std::make_shared<Mesh>();
    if (!merged->SetVertices(format, std::move(bytes))) return nullptr;
    std::uint32_t base = 0;
    for (const auto& m : meshes) {
        for (const auto& part : m->parts) {
            std::vector<std::uint16_t> indices;
            indices.reserve(part->indices.size());
            for (std::uint16_t i : part->indices) indices.push_back(static_cast<std::uint16_t>(base + i));
            MeshPart& added = merged->AddPart(part->material, std::move(indices));
            added.hidden = part->hidden;
        }
        base += m->geometry.vertexCount;
    }
    merged->UpdateBounds();
    return merged;
}

std::shared_ptr<Mesh> BuildItemModel(RenderDevice& device, ResourceManager& resources, std::uint32_t itemId,
                                     const CuePartIds& parts) {
    if (itemId < kFirstCue || itemId > kLastCue) return nullptr;
    if (itemId >= kFirstPersonalCue && itemId <= kLastPersonalCue)
        if (std::shared_ptr<Mesh> cue = PersonalCueModel(device, resources, parts)) return cue;
    const ResourceGroup* cues = OpenGroup(resources, u"Cues");
    return cues ? NamedMesh(device, *cues, CueModelName(CueModelOfItem(static_cast<std::uint16_t>(itemId))))
                : nullptr;
}

}  // namespace table
