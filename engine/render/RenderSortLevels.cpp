#include "engine/render/RenderSortLevels.h"

#include "engine/render/BufferRegistry.h"
#include "engine/render/Mesh.h"
#include "engine/render/RenderNodes.h"
#include "engine/render/SceneNode.h"
#include "engine/render/Sprite.h"

// --- Keyed levels ------------------------------------------------------------------------------------

std::uint32_t TextureStageLevel::PartKey(const MeshPart& part) const {
    if (!part.material) return 0;
    Texture* texture = part.material->SlotTexture(slot_);
    return texture ? texture->Id() : 0;
}

std::unique_ptr<RenderNode> TextureStageLevel::CreateChild(std::uint32_t key) {
    return std::make_unique<TextureStageNode>(tree_, this, slot_, stageMask_, key);
}

std::uint32_t BumpMatrixLevel::PartKey(const MeshPart& part) const {
    if (!part.material) return 0;
    const MaterialStage* stage = part.material->Stage(kBumpSlot);
    return stage && stage->bump ? stage->bump->id : 0;
}

std::unique_ptr<RenderNode> BumpMatrixLevel::CreateChild(std::uint32_t key) {
    return std::make_unique<BumpMatrixNode>(tree_, this, key, stageMask_, normals_);
}

std::uint32_t TextureAnimationLevel::PartKey(const MeshPart& part) const {
    const Material* material = part.material.get();
    if (!material) return 0;
    for (std::size_t record = 0; record < material->stages.size(); ++record) {
        for (int slot = 0; slot < kStageSlots; ++slot) {
            if (material->slots[slot] != record) continue;
            if (material->stages[record].animation) return material->Id();
            break;  // only the first slot that refers to the record counts
        }
    }
    return 0;
}

std::unique_ptr<RenderNode> TextureAnimationLevel::CreateChild(std::uint32_t key) {
    return std::make_unique<TextureAnimationNode>(tree_, this, key, stageMask_, normals_);
}

std::uint32_t MaterialStateLevel::PartKey(const MeshPart& part) const {
    std::uint32_t flags = part.material ? part.material->flags : 0;
    if (part.mesh && !part.mesh->visibility.extendedStages) flags &= ~kExtendedStageBits;
    return flags;
}

std::unique_ptr<RenderNode> MaterialStateLevel::CreateChild(std::uint32_t key) {
    return std::make_unique<MaterialStateNode>(tree_, this, key, normals_);
}

std::uint32_t VertexFormatLevel::PartKey(const MeshPart& part) const {
    return part.mesh ? part.mesh->geometry.format : 0;
}

std::unique_ptr<RenderNode> VertexFormatLevel::CreateChild(std::uint32_t key) {
    return std::make_unique<VertexFormatNode>(tree_, this, key);
}

std::int16_t DrawOrderLevel::NodeKey(const SceneNode& node) const {
    return node.drawOrder;
}

std::unique_ptr<RenderNode> DrawOrderLevel::CreateChild(std::int16_t key) {
    if (key == 0) return std::make_unique<SortedBlendedGroupNode>(tree_, this);
    return std::make_unique<BlendedGroupNode>(tree_, this, key);
}

// --- Slot levels -------------------------------------------------------------------------------------

bool SlotLevel::Accept(RenderVisitor& visitor) {
    for (auto& slot : slots_)
        if (slot && !slot->Accept(visitor)) return false;
    return true;
}

bool SlotLevel::IsEmpty() const {
    for (const auto& slot : slots_)
        if (slot && !slot->IsEmpty()) return false;
    return true;
}

void SlotLevel::Prune() {
    for (auto& slot : slots_)
        if (slot && slot->IsEmpty()) slot.reset();
}

SceneRootLevel::SceneRootLevel(RenderSortTree* tree, RenderNode* owner) : SlotLevel(tree, owner) {
    slots_.resize(2);
}

void SceneRootLevel::InsertNode(SceneNode& node) {
    if (!slots_[0]) slots_[0] = std::make_unique<NodeGroupNode>(tree_, this);
    slots_[0]->InsertNode(node);
}

bool SceneRootLevel::RemoveNode(SceneNode& node) {
    if (slots_[0] && slots_[0]->RemoveNode(node)) slots_[0].reset();
    return IsEmpty();
}

void SceneRootLevel::InsertSprite(Sprite& sprite) {
    if (!slots_[1]) slots_[1] = std::make_unique<SpriteGroupNode>(tree_, this);
    slots_[1]->InsertSprite(sprite);
}

bool SceneRootLevel::RemoveSprite(Sprite& sprite) {
    if (slots_[1] && slots_[1]->RemoveSprite(sprite)) slots_[1].reset();
    return IsEmpty();
}

BlendSplitLevel::BlendSplitLevel(RenderSortTree* tree, RenderNode* owner) : SlotLevel(tree, owner) {
    slots_.resize(2);
}

int BlendSplitLevel::SlotOf(const SceneNode& node) {
    if (node.blendMode > 1) return -1;
    if (node.blendMode == 0 && node.cullOverride == kNoCullModeOverride) return 0;
    return 1;
}

void BlendSplitLevel::InsertNode(SceneNode& node) {
    int slot = SlotOf(node);
    if (slot < 0) return;
    if (!slots_[slot])
        slots_[slot] = std::make_unique<AlphaModeNode>(tree_, this, static_cast<std::uint32_t>(slot));
    slots_[slot]->InsertNode(node);
}

bool BlendSplitLevel::RemoveNode(SceneNode& node) {
    int slot = SlotOf(node);
    if (slot >= 0 && slots_[slot] && slots_[slot]->RemoveNode(node)) slots_[slot].reset();
    return IsEmpty();
}

BufferGroupLevel::BufferGroupLevel(RenderSortTree* tree, RenderNode* owner, std::uint32_t format)
    : RenderSortLevel(tree, owner), format_(format) {}

BufferGroupLevel::~BufferGroupLevel() = default;

bool BufferGroupLevel::Accept(RenderVisitor& visitor) {
    for (auto& node : statics_)
        if (!node->Accept(visitor)) return false;
    return !dynamic_ || dynamic_->Accept(visitor);
}

void BufferGroupLevel::InsertPart(MeshPart& part) {
    const Mesh& mesh = *part.mesh;
    if (mesh.visibility.dynamic || mesh.animationWord != 0) {
        if (!dynamic_) dynamic_ = std::make_unique<DynamicBufferNode>(tree_, this, format_);
        dynamic_->InsertPart(part);
        return;
    }
    for (auto& node : statics_) {
        if (node->Set().HoldsMesh(mesh) || node->Set().HasRoomFor(mesh)) {
            node->InsertPart(part);
            return;
        }
    }
    statics_.push_back(
        std::make_unique<StaticBufferNode>(tree_, this, format_, static_cast<int>(statics_.size())));
    statics_.back()->InsertPart(part);
}

bool BufferGroupLevel::IsEmpty() const {
    for (const auto& node : statics_)
        if (!node->IsEmpty()) return false;
    return !dynamic_ || dynamic_->IsEmpty();
}

void BufferGroupLevel::Prune() {
    std::erase_if(statics_, [](const auto& node) { return node->IsEmpty(); });
    if (dynamic_ && dynamic_->IsEmpty()) dynamic_.reset();
}

LightingSplitLevel::LightingSplitLevel(RenderSortTree* tree, RenderNode* owner, std::uint32_t stageMask,
                                       std::uint8_t normals)
    : SlotLevel(tree, owner), stageMask_(stageMask), normals_(normals) {
    slots_.resize(3);
}

void LightingSplitLevel::InsertPart(MeshPart& part) {
    const Material* material = part.material.get();
    bool off = material && material->lightingOff;
    bool lit = material && material->lit && normals_;
    int slot = off ? 0 : lit ? 2 : 1;
    if (!slots_[slot])
        slots_[slot] =
            std::make_unique<LightingNode>(tree_, this, slot == 2 ? 1 : 0, slot == 0 ? 1 : 0, stageMask_);
    slots_[slot]->InsertPart(part);
}

SpecularSplitLevel::SpecularSplitLevel(RenderSortTree* tree, RenderNode* owner, std::uint32_t stageMask)
    : SlotLevel(tree, owner), stageMask_(stageMask) {
    slots_.resize(2);
}

void SpecularSplitLevel::InsertPart(MeshPart& part) {
    int slot = part.material && part.material->specular ? 0 : 1;
    if (!slots_[slot])
        slots_[slot] = std::make_unique<SpecularNode>(tree_, this, slot == 0 ? 1 : 0, stageMask_);
    slots_[slot]->InsertPart(part);
}

LeafLevel::LeafLevel(RenderSortTree* tree, RenderNode* owner) : SlotLevel(tree, owner) {
    slots_.resize(1);
}

void LeafLevel::InsertPart(MeshPart& part) {
    if (!slots_[0]) slots_[0] = std::make_unique<PartBatchNode>(tree_, this);
    slots_[0]->InsertPart(part);
}
