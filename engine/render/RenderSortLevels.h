#pragma once
// The levels of the render sort tree: the keyed family (one child per distinct key, in key order)
// and the fixed splitting levels (one or a few owned child slots).

#include <functional>
#include <map>
#include <memory>

#include "engine/render/RenderSortTree.h"

class PartBatchNode;
class StaticBufferNode;
class DynamicBufferNode;

// Ordered map from a key to a shared child node. Compare gives the walk order.
template <class Key, class Compare = std::less<Key>>
class KeyedSortLevel : public RenderSortLevel {
public:
    using RenderSortLevel::RenderSortLevel;

    bool Accept(RenderVisitor& visitor) override {
        for (auto it = children_.begin(); it != children_.end();) {
            std::shared_ptr<RenderNode> child = it->second;  // held for the visit
            Key key = it->first;
            if (!child->Accept(visitor)) return false;
            it = children_.upper_bound(key);
        }
        return true;
    }
    void InsertNode(SceneNode& node) override { Child(NodeKey(node)).InsertNode(node); }
    bool RemoveNode(SceneNode& node) override {
        return Remove(NodeKey(node), [&](RenderNode& child) { return child.RemoveNode(node); });
    }
    void InsertSprite(Sprite& sprite) override { Child(SpriteKey(sprite)).InsertSprite(sprite); }
    bool RemoveSprite(Sprite& sprite) override {
        return Remove(SpriteKey(sprite), [&](RenderNode& child) { return child.RemoveSprite(sprite); });
    }
    void InsertMesh(Mesh& mesh) override { Child(MeshKey(mesh)).InsertMesh(mesh); }
    bool RemoveMesh(Mesh& mesh) override {
        return Remove(MeshKey(mesh), [&](RenderNode& child) { return child.RemoveMesh(mesh); });
    }
    void InsertPart(MeshPart& part) override { Child(PartKey(part)).InsertPart(part); }
    bool RemovePart(MeshPart& part) override {
        return Remove(PartKey(part), [&](RenderNode& child) { return child.RemovePart(part); });
    }
    bool IsEmpty() const override { return children_.empty(); }
    void Prune() override {
        std::erase_if(children_, [](const auto& entry) { return entry.second->IsEmpty(); });
    }

    virtual Key PartKey(const MeshPart&) const { return Key{}; }
    virtual Key MeshKey(const Mesh&) const { return Key{}; }
    virtual Key SpriteKey(const Sprite&) const { return Key{}; }
    virtual Key NodeKey(const SceneNode&) const { return Key{}; }
    virtual std::unique_ptr<RenderNode> CreateChild(Key key) = 0;

    std::size_t ChildCount() const { return children_.size(); }

protected:
    RenderNode& Child(Key key) {
        auto it = children_.find(key);
        if (it == children_.end())
            it = children_.emplace(key, std::shared_ptr<RenderNode>(CreateChild(key))).first;
        return *it->second;
    }
    template <class RemoveFn>
    bool Remove(Key key, RemoveFn remove) {
        auto it = children_.find(key);
        if (it != children_.end() && remove(*it->second)) children_.erase(it);
        return children_.empty();
    }

    std::map<Key, std::shared_ptr<RenderNode>, Compare> children_;
};

class TextureStageLevel final : public KeyedSortLevel<std::uint32_t> {
public:
    TextureStageLevel(RenderSortTree* tree, RenderNode* owner, int slot, std::uint32_t stageMask)
        : KeyedSortLevel(tree, owner), slot_(slot), stageMask_(stageMask) {}
    std::uint32_t PartKey(const MeshPart& part) const override;
    std::unique_ptr<RenderNode> CreateChild(std::uint32_t key) override;

private:
    int slot_;
    std::uint32_t stageMask_;
};

class BumpMatrixLevel final : public KeyedSortLevel<std::uint32_t> {
public:
    BumpMatrixLevel(RenderSortTree* tree, RenderNode* owner, std::uint32_t stageMask, std::uint8_t normals)
        : KeyedSortLevel(tree, owner), stageMask_(stageMask), normals_(normals) {}
    std::uint32_t PartKey(const MeshPart& part) const override;
    std::unique_ptr<RenderNode> CreateChild(std::uint32_t key) override;

private:
    std::uint32_t stageMask_;
    std::uint8_t normals_;
};

class TextureAnimationLevel final : public KeyedSortLevel<std::uint32_t> {
public:
    TextureAnimationLevel(RenderSortTree* tree, RenderNode* owner, std::uint32_t stageMask,
                          std::uint8_t normals)
        : KeyedSortLevel(tree, owner), stageMask_(stageMask), normals_(normals) {}
    std::uint32_t PartKey(const MeshPart& part) const override;
    std::unique_ptr<RenderNode> CreateChild(std::uint32_t key) override;

private:
    std::uint32_t stageMask_;
    std::uint8_t normals_;
};

class MaterialStateLevel final : public KeyedSortLevel<std::uint32_t> {
public:
    MaterialStateLevel(RenderSortTree* tree, RenderNode* owner, std::uint8_t normals)
        : KeyedSortLevel(tree, owner), normals_(normals) {}
    std::uint32_t PartKey(const MeshPart& part) const override;
    std::unique_ptr<RenderNode> CreateChild(std::uint32_t key) override;

private:
    std::uint8_t normals_;
};

class VertexFormatLevel final : public KeyedSortLevel<std::uint32_t> {
public:
    using KeyedSortLevel::KeyedSortLevel;
    std::uint32_t PartKey(const MeshPart& part) const override;
    std::unique_ptr<RenderNode> CreateChild(std::uint32_t key) override;
};

class DrawOrderLevel final : public KeyedSortLevel<std::int16_t, std::greater<std::int16_t>> {
public:
    using KeyedSortLevel::KeyedSortLevel;
    std::int16_t NodeKey(const SceneNode& node) const override;
    std::unique_ptr<RenderNode> CreateChild(std::int16_t key) override;
};

// Fixed splitting levels: owned child slots visited in slot order.
class SlotLevel : public RenderSortLevel {
public:
    using RenderSortLevel::RenderSortLevel;
    bool Accept(RenderVisitor& visitor) override;
    bool IsEmpty() const override;
    void Prune() override;

protected:
    std::vector<std::unique_ptr<RenderNode>> slots_;
};

class SceneRootLevel final : public SlotLevel {
public:
    SceneRootLevel(RenderSortTree* tree, RenderNode* owner);
    void InsertNode(SceneNode& node) override;
    bool RemoveNode(SceneNode& node) override;
    void InsertSprite(Sprite& sprite) override;
    bool RemoveSprite(Sprite& sprite) override;
    RenderNode* Nodes() const { return slots_[0].get(); }
};

class BlendSplitLevel final : public SlotLevel {
public:
    BlendSplitLevel(RenderSortTree* tree, RenderNode* owner);
    void InsertNode(SceneNode& node) override;
    bool RemoveNode(SceneNode& node) override;
    // -1 = not filed (a blend mode other than 0 and 1).
    static int SlotOf(const SceneNode& node);
};

class BufferGroupLevel final : public RenderSortLevel {
public:
    BufferGroupLevel(RenderSortTree* tree, RenderNode* owner, std::uint32_t format);
    ~BufferGroupLevel() override;
    bool Accept(RenderVisitor& visitor) override;
    void InsertPart(MeshPart& part) override;
    bool IsEmpty() const override;
    void Prune() override;

private:
    std::uint32_t format_;
    std::vector<std::unique_ptr<StaticBufferNode>> statics_;
    std::unique_ptr<DynamicBufferNode> dynamic_;
};

class LightingSplitLevel final : public SlotLevel {
public:
    LightingSplitLevel(RenderSortTree* tree, RenderNode* owner, std::uint32_t stageMask,
                       std::uint8_t normals);
    void InsertPart(MeshPart& part) override;

private:
    std::uint32_t stageMask_;
    std::uint8_t normals_;
};

class SpecularSplitLevel final : public SlotLevel {
public:
    SpecularSplitLevel(RenderSortTree* tree, RenderNode* owner, std::uint32_t stageMask);
    void InsertPart(MeshPart& part) override;

private:
    std::uint32_t stageMask_;
};

class LeafLevel final : public SlotLevel {
public:
    LeafLevel(RenderSortTree* tree, RenderNode* owner);
    void InsertPart(MeshPart& part) override;
};
