#pragma once
// The render sort tree of an engine scene: render-state nodes (RenderNode, one value of one state)
// alternating with levels (RenderSortLevel, the children of a node, one per distinct value of the
// next state). One depth-first walk per frame sets each state once for everything below it.
// Main thread only; filing, removal and drawing never overlap.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/RenderConstants.h"

class Mesh;
class MeshPart;
class RenderDevice;
class RenderSortLevel;
class RenderSortTree;
class RenderVisitor;
class RootRenderNode;
class Scene;
class SceneNode;
class Sprite;

class RenderNode {
public:
    RenderNode(RenderSortTree* tree, RenderSortLevel* ownerLevel) : tree_(tree), ownerLevel_(ownerLevel) {}
    virtual ~RenderNode();
    RenderNode(const RenderNode&) = delete;
    RenderNode& operator=(const RenderNode&) = delete;

    virtual void UpdateVisibility();
    // Each remove returns true when the node is empty afterwards.
    virtual void InsertNode(SceneNode& node);
    virtual bool RemoveNode(SceneNode& node);
    virtual void InsertSprite(Sprite& sprite);
    virtual bool RemoveSprite(Sprite& sprite);
    virtual void InsertMesh(Mesh& mesh);
    virtual bool RemoveMesh(Mesh& mesh);
    virtual void InsertPart(MeshPart& part);
    virtual bool RemovePart(MeshPart& part);
    // The part leaves the subtree (registry removal); true when the node is empty afterwards.
    virtual bool RemovePartHere(MeshPart& part, const void* filer);
    virtual bool IsEmpty() const;
    void PruneUpward();
    virtual bool Apply(RenderStatistics& statistics);
    virtual bool Leave();
    virtual bool MeasureBuffers(bool& descend, std::uint32_t& maxVertexBytes, std::uint32_t& maxIndices);
    virtual bool CommitBuffers(std::uint32_t maxVertexBytes, std::uint32_t maxIndices);
    virtual bool EnsureBuffers(bool& descend);
    virtual bool RestoreDeviceObjects();
    virtual bool ReleaseDeviceObjects();
    virtual void RegisterPart(MeshPart& part, RenderNode& holder);

    // Enter, the child level when descending, Leave; the first false ends the walk.
    bool Accept(RenderVisitor& visitor);

    // Test and statistics aid: a short name of the node and its key, e.g. "Tex0(t7)".
    virtual std::string Label() const = 0;

    RenderSortTree* Tree() const { return tree_; }
    RenderSortLevel* OwnerLevel() const { return ownerLevel_; }
    RenderSortLevel* ChildLevel() const { return childLevel_.get(); }
    bool IsVisible() const { return visible_ != 0; }
    void SetVisible(bool on) { visible_ = on ? 1 : 0; }

protected:
    RenderDevice& Device() const;
    void SetChildLevel(std::unique_ptr<RenderSortLevel> level);
    // Files a scene node as its current mesh and then its children; the tree's filer is the node.
    void ExpandNode(SceneNode& node, bool remove);

    std::uint8_t expandNodes_ = 0;
    std::uint8_t expandMeshes_ = 0;
    RenderSortTree* tree_;
    RenderSortLevel* ownerLevel_;
    std::uint8_t visible_ = 0;
    std::unique_ptr<RenderSortLevel> childLevel_;
};

class RenderSortLevel {
public:
    RenderSortLevel(RenderSortTree* tree, RenderNode* owner) : tree_(tree), owner_(owner) {}
    virtual ~RenderSortLevel() = default;
    RenderSortLevel(const RenderSortLevel&) = delete;
    RenderSortLevel& operator=(const RenderSortLevel&) = delete;

    virtual bool Accept(RenderVisitor& visitor) = 0;
    virtual void InsertNode(SceneNode&) {}
    virtual bool RemoveNode(SceneNode&) { return false; }
    virtual void InsertSprite(Sprite&) {}
    virtual bool RemoveSprite(Sprite&) { return false; }
    virtual void InsertMesh(Mesh&) {}
    virtual bool RemoveMesh(Mesh&) { return false; }
    virtual void InsertPart(MeshPart&) {}
    virtual bool RemovePart(MeshPart&) { return false; }
    virtual bool IsEmpty() const = 0;
    // Drops the children that have become empty.
    virtual void Prune() = 0;

    RenderNode* Owner() const { return owner_; }
    RenderSortTree* Tree() const { return tree_; }

protected:
    RenderSortTree* tree_;
    RenderNode* owner_;
};

// Visitors of the tree walks.
class RenderVisitor {
public:
    virtual ~RenderVisitor() = default;
    virtual bool Enter(RenderNode& node, bool& descend) {
        (void)node;
        descend = true;
        return true;
    }
    virtual bool Leave(RenderNode&) { return true; }
};

class EnsureBuffersVisitor final : public RenderVisitor {
public:
    bool Enter(RenderNode& node, bool& descend) override {
        node.EnsureBuffers(descend);
        return true;
    }
};

class BufferSizeVisitor final : public RenderVisitor {
public:
    bool Enter(RenderNode& node, bool& descend) override {
        return node.MeasureBuffers(descend, maxVertexBytes, maxIndices);
    }
    bool Leave(RenderNode& node) override { return node.CommitBuffers(maxVertexBytes, maxIndices); }
    std::uint32_t maxVertexBytes = 0;
    std::uint32_t maxIndices = 0;
};

class DrawVisitor final : public RenderVisitor {
public:
    bool Enter(RenderNode& node, bool& descend) override {
        descend = node.IsVisible();
        return descend ? node.Apply(statistics) : true;
    }
    bool Leave(RenderNode& node) override { return node.IsVisible() ? node.Leave() : true; }
    RenderStatistics statistics;
};

class VisibilityUpdateVisitor final : public RenderVisitor {
public:
    bool Leave(RenderNode& node) override {
        node.UpdateVisibility();
        return true;
    }
};

class AnyVisibleVisitor final : public RenderVisitor {
public:
    bool Enter(RenderNode& node, bool& descend) override {
        if (!found && !node.IsVisible()) {
            descend = true;
        } else {
            found = true;
            descend = false;
        }
        return true;
    }
    bool found = false;
};

class RestoreVisitor final : public RenderVisitor {
public:
    bool Leave(RenderNode& node) override { return node.RestoreDeviceObjects(); }
};

class ReleaseVisitor final : public RenderVisitor {
public:
    bool Leave(RenderNode& node) override {
        node.ReleaseDeviceObjects();
        return true;
    }
};

class RenderSortTree {
public:
    // scene may be null (the frame pass then draws without camera or scene records).
    RenderSortTree(RenderDevice& device, Scene* scene);
    virtual ~RenderSortTree();
    RenderSortTree(const RenderSortTree&) = delete;
    RenderSortTree& operator=(const RenderSortTree&) = delete;

    void AddObject(SceneNode& node);
    void RemoveObject(SceneNode& node);
    void AddSprite(Sprite& sprite);
    void RemoveSprite(Sprite& sprite);
    // 0 remove, 1 remove and insert again; other values do nothing.
    virtual void OnEntityChanged(std::uint32_t change, SceneNode* node);
    bool Render(RenderStatistics& statistics);
    bool RestoreDeviceResources();
    bool ReleaseDeviceResources();

    // Walks every node with a visitor (tests, tools).
    bool Accept(RenderVisitor& visitor);
    RootRenderNode& Root() { return *root_; }
    RenderDevice& Device() const { return device_; }
    Scene* GetScene() const { return scene_; }
    const std::vector<SceneNode*>& FlaggedNodes() const { return flagged_; }

    // Blended records whose material uses this texture are skipped (0 = none).
    std::uint32_t excludedTexture = 0;

    // The entity whose filing is under way: the scene node or sprite that a part record belongs
    // to, so that a part shared by several nodes is removed once per node.
    const void* Filer() const { return filer_; }
    void SetFiler(const void* filer) { filer_ = filer; }
    // Inserts and removals make the visible flags stale; the next frame recomputes them.
    void MarkVisibilityStale() { visibilityStale_ = true; }
    bool VisibilityStale() const { return visibilityStale_; }

private:
    RenderDevice& device_;
    Scene* scene_;
    std::unique_ptr<RootRenderNode> root_;
    std::vector<SceneNode*> flagged_;
    const void* filer_ = nullptr;
    bool visibilityStale_ = true;
};

// Makes the level below a node: the highest texture stage level below `below` whose bit is in the
// mask, else the leaf level.
std::unique_ptr<RenderSortLevel> CreateSortLevel(RenderSortTree* tree, RenderNode* owner,
                                                 std::uint32_t stageMask, int below);
