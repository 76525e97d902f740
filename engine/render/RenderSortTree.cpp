#include "engine/render/RenderSortTree.h"

#include <algorithm>

#include "engine/render/RenderDevice.h"
#include "engine/render/RenderNodes.h"
#include "engine/render/RenderSortLevels.h"
#include "engine/render/Scene.h"
#include "engine/render/SceneNode.h"
#include "engine/render/Sprite.h"

// --- RenderNode ------------------------------------------------------------------------------------

RenderNode::~RenderNode() = default;

RenderDevice& RenderNode::Device() const {
    return tree_->Device();
}

void RenderNode::SetChildLevel(std::unique_ptr<RenderSortLevel> level) {
    childLevel_ = std::move(level);
}

void RenderNode::UpdateVisibility() {
    if (!childLevel_) {
        visible_ = 0;
        return;
    }
    AnyVisibleVisitor visitor;
    childLevel_->Accept(visitor);
    visible_ = visitor.found ? 1 : 0;
}

void RenderNode::ExpandNode(SceneNode& node, bool remove) {
    const void* saved = tree_->Filer();
    tree_->SetFiler(&node);
    if (Mesh* mesh = node.CurrentMesh()) {
        if (remove)
            RemoveMesh(*mesh);
        else
            InsertMesh(*mesh);
    }
    tree_->SetFiler(saved);
    for (auto& child : node.children) {
        if (!child) continue;
        if (remove)
            RemoveNode(*child);
        else
            InsertNode(*child);
    }
}

void RenderNode::InsertNode(SceneNode& node) {
    if (expandNodes_)
        ExpandNode(node, false);
    else if (childLevel_)
        childLevel_->InsertNode(node);
}

bool RenderNode::RemoveNode(SceneNode& node) {
    if (expandNodes_) {
        ExpandNode(node, true);
        return IsEmpty();
    }
    return childLevel_ ? childLevel_->RemoveNode(node) : IsEmpty();
}

void RenderNode::InsertSprite(Sprite& sprite) {
    if (expandNodes_) {
        if (sprite.mesh) InsertMesh(*sprite.mesh);
    } else if (childLevel_) {
        childLevel_->InsertSprite(sprite);
    }
}

bool RenderNode::RemoveSprite(Sprite& sprite) {
    if (expandNodes_) {
        if (sprite.mesh) RemoveMesh(*sprite.mesh);
        return IsEmpty();
    }
    return childLevel_ ? childLevel_->RemoveSprite(sprite) : IsEmpty();
}

void RenderNode::InsertMesh(Mesh& mesh) {
    if (expandMeshes_) {
        for (auto& part : mesh.parts)
            if (part) InsertPart(*part);
    } else if (childLevel_) {
        childLevel_->InsertMesh(mesh);
    }
}

bool RenderNode::RemoveMesh(Mesh& mesh) {
    if (expandMeshes_) {
        for (auto& part : mesh.parts)
            if (part) RemovePart(*part);
        return IsEmpty();
    }
    return childLevel_ ? childLevel_->RemoveMesh(mesh) : IsEmpty();
}

void RenderNode::InsertPart(MeshPart& part) {
    if (childLevel_) childLevel_->InsertPart(part);
}

bool RenderNode::RemovePart(MeshPart& part) {
    return childLevel_ ? childLevel_->RemovePart(part) : IsEmpty();
}

bool RenderNode::RemovePartHere(MeshPart&, const void*) {
    return IsEmpty();
}

bool RenderNode::IsEmpty() const {
    return childLevel_ ? childLevel_->IsEmpty() : false;
}

void RenderNode::PruneUpward() {
    RenderSortLevel* level = ownerLevel_;
    if (!level) return;
    level->Prune();  // may destroy this node
    if (level->IsEmpty())
        if (RenderNode* up = level->Owner()) up->PruneUpward();
}

bool RenderNode::Apply(RenderStatistics&) {
    return true;
}
bool RenderNode::Leave() {
    return true;
}

bool RenderNode::MeasureBuffers(bool& descend, std::uint32_t&, std::uint32_t&) {
    descend = true;
    return true;
}

bool RenderNode::CommitBuffers(std::uint32_t, std::uint32_t) {
    return true;
}

bool RenderNode::EnsureBuffers(bool& descend) {
    descend = true;
    return true;
}

bool RenderNode::RestoreDeviceObjects() {
    return true;
}
bool RenderNode::ReleaseDeviceObjects() {
    return true;
}

void RenderNode::RegisterPart(MeshPart& part, RenderNode& holder) {
    if (ownerLevel_ && ownerLevel_->Owner()) ownerLevel_->Owner()->RegisterPart(part, holder);
}

bool RenderNode::Accept(RenderVisitor& visitor) {
    bool descend = true;
    if (!visitor.Enter(*this, descend)) return false;
    if (descend && childLevel_ && !childLevel_->Accept(visitor)) return false;
    return visitor.Leave(*this);
}

// --- RenderSortTree ----------------------------------------------------------------------------------

RenderSortTree::RenderSortTree(RenderDevice& device, Scene* scene)
    : device_(device), scene_(scene), root_(std::make_unique<RootRenderNode>(this, scene)) {}

RenderSortTree::~RenderSortTree() = default;

void RenderSortTree::AddObject(SceneNode& node) {
    root_->InsertNode(node);
    if (node.listFlag) flagged_.push_back(&node);
    MarkVisibilityStale();
}

void RenderSortTree::RemoveObject(SceneNode& node) {
    root_->RemoveNode(node);
    if (node.listFlag) {
        auto it = std::find(flagged_.begin(), flagged_.end(), &node);
        if (it != flagged_.end()) flagged_.erase(it);
    }
    MarkVisibilityStale();
}

void RenderSortTree::AddSprite(Sprite& sprite) {
    root_->InsertSprite(sprite);
    MarkVisibilityStale();
}

void RenderSortTree::RemoveSprite(Sprite& sprite) {
    root_->RemoveSprite(sprite);
    MarkVisibilityStale();
}

void RenderSortTree::OnEntityChanged(std::uint32_t change, SceneNode* node) {
    if (!node) return;
    if (change == 0) {
        RemoveObject(*node);
    } else if (change == 1) {
        root_->RemoveNode(*node);
        root_->InsertNode(*node);
        MarkVisibilityStale();
    }
}

bool RenderSortTree::Accept(RenderVisitor& visitor) {
    return root_->Accept(visitor);
}

bool RenderSortTree::Render(RenderStatistics& statistics) {
    bool cameraDirty = scene_ && scene_->cameraDirty;
    if (cameraDirty || visibilityStale_) {
        if (cameraDirty) scene_->UpdateCamera();
        VisibilityUpdateVisitor visibility;
        root_->Accept(visibility);
        if (scene_) scene_->cameraDirty = 0;
        visibilityStale_ = false;
    }
    BufferRegistry& registry = device_.Buffers();
    if (!registry.ready) {
        EnsureBuffersVisitor ensure;
        root_->Accept(ensure);
        registry.ready = true;
    }
    BufferSizeVisitor sizes;
    if (!root_->Accept(sizes)) return false;
    if (scene_) {
        const SceneContent& content = scene_->Content();
        if (!device_.SetupSceneState(&content.firstRecord, &content.ambient, &content.fog,
                                     scene_->CurrentCamera()))
            return false;
    }
    DrawVisitor draw;
    bool ok = root_->Accept(draw);
    statistics = draw.statistics;
    device_.DisableAllLights();
    return ok;
}

bool RenderSortTree::RestoreDeviceResources() {
    RestoreVisitor restore;
    return root_->Accept(restore);
}

bool RenderSortTree::ReleaseDeviceResources() {
    ReleaseVisitor release;
    root_->Accept(release);
    device_.Buffers().ReleaseAll();
    return true;
}

std::unique_ptr<RenderSortLevel> CreateSortLevel(RenderSortTree* tree, RenderNode* owner,
                                                 std::uint32_t stageMask, int below) {
    for (int i = below - 1; i >= 0; --i)
        if (stageMask & RenderStateBit(i))
            return std::make_unique<TextureStageLevel>(tree, owner, i, stageMask);
    return std::make_unique<LeafLevel>(tree, owner);
}
