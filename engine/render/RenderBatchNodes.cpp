// Part batches and blended groups: the node kinds that hold parts and issue the draws.

#include <algorithm>

#include "engine/render/BufferRegistry.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/RenderNodes.h"
#include "engine/render/SceneNode.h"

using C = RenderCounter;

namespace {

bool MeshShown(const MeshPart& part) {
    return part.mesh && part.mesh->visibility.visible && !part.IsHidden();
}

}  // namespace

// --- Part batches ----------------------------------------------------------------------------------------

void PartBatchNode::InsertPart(MeshPart& part) {
    records_.push_back({&part, tree_->Filer()});
    if (part.mesh) part.mesh->geometry.placement = -1;
    Device().Buffers().ready = false;
    RegisterPart(part, *this);
}

bool PartBatchNode::RemovePartHere(MeshPart& part, const void* filer) {
    auto it = std::find_if(records_.begin(), records_.end(),
                           [&](const Record& r) { return r.part == &part && r.filer == filer; });
    if (it == records_.end())
        it = std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.part == &part; });
    if (it != records_.end()) records_.erase(it);
    Device().Buffers().ready = false;
    return IsEmpty();
}

void PartBatchNode::UpdateVisibility() {
    visible_ =
        std::any_of(records_.begin(), records_.end(), [](const Record& r) { return MeshShown(*r.part); }) ? 1
                                                                                                          : 0;
}

bool PartBatchNode::MeasureBuffers(bool& descend, std::uint32_t&, std::uint32_t&) {
    descend = false;
    return true;
}

void PartBatchNode::Layout(StaticBufferSet& set) {
    for (auto& record : records_) {
        std::int64_t base = record.part->mesh ? set.FirstVertex(*record.part->mesh) : -1;
        if (base < 0 || record.part->indices.empty()) {
            record.firstVertex = record.lastVertex = 0xFFFFFFFF;
            continue;
        }
        std::uint32_t lowest, highest;
        record.part->IndexRange(lowest, highest);
        record.firstVertex = static_cast<std::uint32_t>(base) + lowest;
        record.lastVertex = static_cast<std::uint32_t>(base) + highest;
        record.part->mesh->geometry.placement = static_cast<std::int32_t>(base);
    }
    std::stable_sort(records_.begin(), records_.end(),
                     [](const Record& a, const Record& b) { return a.firstVertex < b.firstVertex; });
    batches_.clear();
    std::vector<std::uint16_t> rebased;
    for (const auto& record : records_) {
        if (record.firstVertex == 0xFFFFFFFF) continue;
        // A record whose vertices would pass the 16-bit range of the batch starts a new batch.
        if (batches_.empty() || record.lastVertex > batches_.back().baseVertex + 65535) {
            Batch batch;
            batch.baseVertex = record.firstVertex;
            batch.firstIndex = static_cast<std::uint32_t>(set.indexData.size());
            batches_.push_back(batch);
        }
        Batch& batch = batches_.back();
        std::uint32_t meshBase = static_cast<std::uint32_t>(set.FirstVertex(*record.part->mesh));
        rebased.clear();
        for (std::uint16_t index : record.part->indices)
            rebased.push_back(static_cast<std::uint16_t>(index + meshBase - batch.baseVertex));
        set.AppendIndices(rebased);
        batch.indexCount += static_cast<std::uint32_t>(rebased.size());
        batch.firstVertex = std::min(batch.firstVertex, record.firstVertex - batch.baseVertex);
        batch.lastVertex = std::max(batch.lastVertex, record.lastVertex - batch.baseVertex);
    }
}

bool PartBatchNode::Apply(RenderStatistics& statistics) {
    RenderDevice& device = Device();
    const BufferRegistry& registry = device.Buffers();
    if (registry.verticesDynamic || registry.indicesDynamic) {
        for (const auto& record : records_) {
            if (!MeshShown(*record.part)) continue;
            std::uint32_t vertices = 0;
            if (!device.DrawPartDynamic(*record.part, vertices)) return false;
            statistics[C::Vertex] += vertices;
            ++statistics[C::FaceSet];
            ++statistics[C::DpCall];
        }
    } else {
        for (const auto& batch : batches_) {
            if (batch.indexCount == 0 || batch.indexCount % 3 != 0) continue;
            std::uint32_t vertices = batch.lastVertex - batch.firstVertex + 1;
            if (device.DrawIndexedPrimitive(static_cast<std::int32_t>(batch.baseVertex), batch.firstVertex,
                                            vertices, batch.firstIndex, batch.indexCount / 3)) {
                statistics[C::Vertex] += vertices;
                ++statistics[C::DpCall];
            }
        }
        statistics[C::FaceSet] += static_cast<std::uint32_t>(records_.size());
    }
    ++statistics[C::Batch];
    return true;
}

std::string PartBatchNode::Label() const {
    return "Leaf[" + std::to_string(records_.size()) + "]";
}

// --- Blended groups --------------------------------------------------------------------------------------

BlendedGroupNode::BlendedGroupNode(RenderSortTree* tree, RenderSortLevel* owner, std::int16_t key)
    : RenderNode(tree, owner), key_(key) {}

void BlendedGroupNode::InsertNode(SceneNode& node) {
    world_ = node.transform.identity ? nullptr : &node.transform.world;
    alpha_ = node.materialAlpha;
    bumpAllowed_ = node.transform.bumpAllowed;
    cullMode_ = node.cullOverride;
    const void* saved = tree_->Filer();
    tree_->SetFiler(&node);
    if (Mesh* mesh = node.CurrentMesh()) InsertMesh(*mesh);
    tree_->SetFiler(saved);
    for (auto& child : node.children)
        if (child) InsertNode(*child);
}

void BlendedGroupNode::InsertMesh(Mesh& mesh) {
    normals_ = static_cast<std::uint8_t>(mesh.geometry.format & platform::vertex_format::kNormal);
    for (auto& part : mesh.parts)
        if (part) InsertPart(*part);
}

void BlendedGroupNode::InsertPart(MeshPart& part) {
    records_.push_back(std::make_shared<DrawRecord>(
        DrawRecord{&part, tree_->Filer(), world_, alpha_, bumpAllowed_, normals_, cullMode_}));
    RegisterPart(part, *this);
    RecordsChanged();
}

bool BlendedGroupNode::RemovePartHere(MeshPart& part, const void* filer) {
    auto it = std::find_if(records_.begin(), records_.end(),
                           [&](const auto& r) { return r->part == &part && r->filer == filer; });
    if (it == records_.end())
        it = std::find_if(records_.begin(), records_.end(), [&](const auto& r) { return r->part == &part; });
    if (it != records_.end()) records_.erase(it);
    RecordsChanged();
    return IsEmpty();
}

bool BlendedGroupNode::Drawable(const DrawRecord& record) const {
    if (!MeshShown(*record.part)) return false;
    if (tree_->excludedTexture && record.part->material)
        for (const auto& stage : record.part->material->stages)
            if (stage.texture && stage.texture->Id() == tree_->excludedTexture) return false;
    return true;
}

void BlendedGroupNode::UpdateVisibility() {
    visible_ =
        std::any_of(records_.begin(), records_.end(), [&](const auto& r) { return Drawable(*r); }) ? 1 : 0;
}

bool BlendedGroupNode::DrawRecords(const std::vector<std::shared_ptr<DrawRecord>>& records,
                                   RenderStatistics& statistics) {
    RenderDevice& device = Device();
    const std::uint32_t savedWord = device.firstStateWord;
    const std::uint8_t savedCap = device.Slot2Cap2();
    const std::int32_t savedCull = device.currentCullMode;
    auto restore = [&](std::uint8_t cap) {
        device.firstStateWord = savedWord;
        device.SetSlot2Cap2(cap);
        device.currentCullMode = savedCull;
    };
    bool ok = true;
    for (const auto& record : records) {
        if (!Drawable(*record)) continue;
        restore(savedCap && record->bumpAllowed ? 1 : 0);
        std::int32_t cull =
            record->cullMode == kNoCullModeOverride ? -1 : static_cast<std::int32_t>(record->cullMode);
        std::uint32_t vertices = 0;
        ok = device.SetTransform(platform::TransformKind::World, record->world) &&
             device.SetMaterialAlpha(record->alpha) && device.SetCullMode(cull) &&
             device.DrawPart(*record->part, record->normals != 0, vertices);
        if (!ok) break;
        statistics[C::Vertex] += vertices;
        ++statistics[C::FaceSet];
        ++statistics[C::DpCall];
    }
    restore(savedCap);
    // The next group and the sprites expect the identity world transform.
    return device.SetTransform(platform::TransformKind::World, nullptr) && ok;
}

bool BlendedGroupNode::Apply(RenderStatistics& statistics) {
    return DrawRecords(records_, statistics);
}

bool BlendedGroupNode::EnsureBuffers(bool& descend) {
    descend = false;
    return true;
}

bool BlendedGroupNode::RestoreDeviceObjects() {
    for (const auto& record : records_)
        if (record->part->material)
            for (auto& stage : record->part->material->stages)
                if (stage.texture && !stage.texture->Restore()) return false;
    return true;
}

bool BlendedGroupNode::ReleaseDeviceObjects() {
    for (const auto& record : records_)
        if (record->part->material)
            for (auto& stage : record->part->material->stages)
                if (stage.texture) stage.texture->Release();
    return true;
}

void SortedBlendedGroupNode::RecordsChanged() {
    draw_.clear();
    draw_.reserve(records_.size());
}

void SortedBlendedGroupNode::UpdateVisibility() {
    draw_.clear();
    for (const auto& record : records_)
        if (Drawable(*record)) draw_.push_back(record);
    std::stable_sort(draw_.begin(), draw_.end(),
                     [](const auto& a, const auto& b) { return a->part->sortValue > b->part->sortValue; });
    visible_ = draw_.empty() ? 0 : 1;
}

bool SortedBlendedGroupNode::Apply(RenderStatistics& statistics) {
    return DrawRecords(draw_, statistics);
}
