#pragma once
// The node kinds of the render sort tree and the device state each applies.

#include <map>
#include <memory>
#include <vector>

#include "engine/render/Material.h"
#include "engine/render/RenderMath.h"
#include "engine/render/RenderSortTree.h"
#include "engine/render/Texture.h"

struct StaticBufferSet;

class RootRenderNode final : public RenderNode {
public:
    RootRenderNode(RenderSortTree* tree, Scene* scene);
    void InsertNode(SceneNode& node) override;
    bool RemoveNode(SceneNode& node) override;
    void InsertSprite(Sprite& sprite) override;
    bool RemoveSprite(Sprite& sprite) override;
    // Removes one filing of the part (by the tree's current filer) through the registry.
    bool RemovePart(MeshPart& part) override;
    bool Apply(RenderStatistics& statistics) override;
    bool CommitBuffers(std::uint32_t maxVertexBytes, std::uint32_t maxIndices) override;
    void RegisterPart(MeshPart& part, RenderNode& holder) override;
    std::string Label() const override { return "Root"; }
    // Holders of a part, one entry per filing.
    std::size_t RegisteredFilings() const;
    bool IsEmpty() const override { return false; }

private:
    struct Filing {
        const void* filer;
        RenderNode* holder;
    };
    Scene* scene_;
    std::map<const MeshPart*, std::vector<Filing>> registry_;
};

class NodeGroupNode final : public RenderNode {
public:
    NodeGroupNode(RenderSortTree* tree, RenderSortLevel* owner);
    std::string Label() const override { return "Nodes"; }
};

class SpriteGroupNode final : public RenderNode {
public:
    using RenderNode::RenderNode;
    void InsertSprite(Sprite& sprite) override;
    bool RemoveSprite(Sprite& sprite) override;
    bool IsEmpty() const override { return sprites_.empty(); }
    void UpdateVisibility() override;
    bool Apply(RenderStatistics& statistics) override;
    bool RestoreDeviceObjects() override;
    bool ReleaseDeviceObjects() override;
    std::string Label() const override { return "Sprites"; }

private:
    std::vector<Sprite*> sprites_;
    std::vector<Sprite*> draw_;
    bool restored_ = false;
};

class AlphaModeNode final : public RenderNode {
public:
    AlphaModeNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t mode);
    bool Apply(RenderStatistics& statistics) override;
    std::string Label() const override { return "Alpha" + std::to_string(mode_); }

private:
    std::uint32_t mode_;
};

class VertexFormatNode final : public RenderNode {
public:
    VertexFormatNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t format);
    bool Apply(RenderStatistics& statistics) override;
    std::string Label() const override;

private:
    std::uint32_t format_;
};

class StaticBufferNode final : public RenderNode {
public:
    StaticBufferNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t format, int index);
    ~StaticBufferNode() override;
    StaticBufferSet& Set() { return *set_; }
    void InsertPart(MeshPart& part) override;
    bool RemovePartHere(MeshPart& part, const void* filer) override;
    bool Apply(RenderStatistics& statistics) override;
    bool MeasureBuffers(bool& descend, std::uint32_t& maxVertexBytes, std::uint32_t& maxIndices) override;
    bool EnsureBuffers(bool& descend) override;
    std::string Label() const override { return "Static#" + std::to_string(index_); }

private:
    std::uint32_t stride_;
    StaticBufferSet* set_;
    int index_;
};

class DynamicBufferNode final : public RenderNode {
public:
    DynamicBufferNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t format);
    bool Apply(RenderStatistics& statistics) override;
    bool MeasureBuffers(bool& descend, std::uint32_t& maxVertexBytes, std::uint32_t& maxIndices) override;
    std::string Label() const override { return "Dynamic"; }

private:
    std::uint32_t format_;
};

class MaterialStateNode final : public RenderNode {
public:
    MaterialStateNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t flags,
                      std::uint8_t normals);
    bool Apply(RenderStatistics& statistics) override;
    std::string Label() const override;

private:
    std::uint32_t flags_;
};

class TextureAnimationNode final : public RenderNode {
public:
    TextureAnimationNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t key,
                         std::uint32_t stageMask, std::uint8_t normals);
    void InsertPart(MeshPart& part) override;
    bool Apply(RenderStatistics& statistics) override;
    std::string Label() const override { return "Anim(" + std::to_string(key_) + ")"; }

private:
    std::uint32_t key_;
    std::uint32_t stageMask_;
    MaterialPtr material_;
};

class BumpMatrixNode final : public RenderNode {
public:
    BumpMatrixNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint32_t key, std::uint32_t stageMask,
                   std::uint8_t normals);
    void InsertPart(MeshPart& part) override;
    bool Apply(RenderStatistics& statistics) override;
    std::string Label() const override { return "Bump(" + std::to_string(key_) + ")"; }

private:
    std::uint32_t key_;
    std::uint32_t stageMask_;
    std::shared_ptr<BumpRecord> record_;
};

class LightingNode final : public RenderNode {
public:
    LightingNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint8_t lit, std::uint8_t lightingOff,
                 std::uint32_t stageMask);
    bool Apply(RenderStatistics& statistics) override;
    std::string Label() const override { return lightingOff_ ? "LightOff" : lit_ ? "Lit" : "Unlit"; }

private:
    std::uint8_t lit_, lightingOff_;
    std::uint32_t stageMask_;
};

class SpecularNode final : public RenderNode {
public:
    SpecularNode(RenderSortTree* tree, RenderSortLevel* owner, std::uint8_t specular,
                 std::uint32_t stageMask);
    bool Apply(RenderStatistics& statistics) override;
    std::string Label() const override { return specular_ ? "SpecOn" : "SpecOff"; }

private:
    std::uint8_t specular_;
};

class TextureStageNode final : public RenderNode {
public:
    TextureStageNode(RenderSortTree* tree, RenderSortLevel* owner, int slot, std::uint32_t stageMask,
                     std::uint32_t key);
    void InsertPart(MeshPart& part) override;
    bool Apply(RenderStatistics& statistics) override;
    bool RestoreDeviceObjects() override;
    bool ReleaseDeviceObjects() override;
    std::string Label() const override;

private:
    int slot_;
    std::uint32_t stageMask_;
    std::uint32_t key_;
    TexturePtr texture_;
    std::uint8_t restored_ = 0;
};

class PartBatchNode final : public RenderNode {
public:
    PartBatchNode(RenderSortTree* tree, RenderSortLevel* owner) : RenderNode(tree, owner) {}
    void InsertPart(MeshPart& part) override;
    bool RemovePartHere(MeshPart& part, const void* filer) override;
    bool IsEmpty() const override { return records_.empty(); }
    void UpdateVisibility() override;
    bool Apply(RenderStatistics& statistics) override;
    bool MeasureBuffers(bool& descend, std::uint32_t& maxVertexBytes, std::uint32_t& maxIndices) override;
    // Places the records' vertices in the set, sorts them and rebuilds the index batches.
    void Layout(StaticBufferSet& set);
    std::string Label() const override;

    struct Record {
        MeshPart* part;
        const void* filer;
        std::uint32_t firstVertex = 0xFFFFFFFF;
        std::uint32_t lastVertex = 0xFFFFFFFF;
    };
    struct Batch {
        std::uint32_t baseVertex = 0;
        std::uint32_t firstVertex = 65535;
        std::uint32_t lastVertex = 0;
        std::uint32_t firstIndex = 0;
        std::uint32_t indexCount = 0;
    };
    const std::vector<Record>& Records() const { return records_; }
    const std::vector<Batch>& Batches() const { return batches_; }

private:
    std::vector<Record> records_;
    std::vector<Batch> batches_;
};

class BlendedGroupNode : public RenderNode {
public:
    BlendedGroupNode(RenderSortTree* tree, RenderSortLevel* owner, std::int16_t key);
    void InsertNode(SceneNode& node) override;
    void InsertMesh(Mesh& mesh) override;
    void InsertPart(MeshPart& part) override;
    bool RemovePartHere(MeshPart& part, const void* filer) override;
    bool IsEmpty() const override { return records_.empty(); }
    void UpdateVisibility() override;
    bool Apply(RenderStatistics& statistics) override;
    bool EnsureBuffers(bool& descend) override;
    bool RestoreDeviceObjects() override;
    bool ReleaseDeviceObjects() override;
    std::string Label() const override { return "Blend(" + std::to_string(key_) + ")"; }

    struct DrawRecord {
        MeshPart* part;
        const void* filer;
        const Matrix4f* world;  // null = identity
        float alpha;
        std::uint8_t bumpAllowed;
        std::uint8_t normals;
        std::uint32_t cullMode;
    };
    const std::vector<std::shared_ptr<DrawRecord>>& Records() const { return records_; }

protected:
    bool DrawRecords(const std::vector<std::shared_ptr<DrawRecord>>& records, RenderStatistics& statistics);
    bool Drawable(const DrawRecord& record) const;
    virtual void RecordsChanged() {}

    std::int16_t key_;
    const Matrix4f* world_ = nullptr;
    float alpha_ = 1;
    std::uint8_t bumpAllowed_ = 1;
    std::uint32_t cullMode_ = kNoCullModeOverride;
    std::uint8_t normals_ = 0;
    std::vector<std::shared_ptr<DrawRecord>> records_;
};

class SortedBlendedGroupNode final : public BlendedGroupNode {
public:
    SortedBlendedGroupNode(RenderSortTree* tree, RenderSortLevel* owner) : BlendedGroupNode(tree, owner, 0) {}
    void UpdateVisibility() override;
    bool Apply(RenderStatistics& statistics) override;
    std::string Label() const override { return "SortedBlend"; }

private:
    void RecordsChanged() override;
    std::vector<std::shared_ptr<DrawRecord>> draw_;
};
