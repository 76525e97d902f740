#pragma once
// Scene node: a transform, a map of meshes (one of them current) and child nodes. The render sort
// tree reads the fields below; a node must be removed from the tree before it is destroyed
// (Scene does that).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/Mesh.h"
#include "engine/render/RenderConstants.h"

// Position, scale and rotation (quaternion x, y, z, w) of a node and the matrix built from them.
struct Transform {
    Transform() = default;
    Vector3f position;
    Vector3f scale{1, 1, 1};
    float rotation[4] = {0, 0, 0, 1};
    Matrix4f matrix;
    // Rebuilds matrix = scale * rotation * translation.
    void Update();
};

struct TransformRecord {
    Matrix4f world;
    std::uint8_t identity = 1;
    std::uint8_t bumpAllowed = 1;
};

class SceneNode {
public:
    SceneNode() = default;
    explicit SceneNode(const Transform& local) : local_(local) { UpdateWorld(nullptr); }

    std::uint32_t Id() const { return id_; }
    Mesh* CurrentMesh() const;
    void SetMesh(std::uint16_t key, MeshPtr mesh);
    SceneNode& AddChild(std::shared_ptr<SceneNode> child);
    // Sets the draw order on this node and every descendant.
    void SetDrawOrder(std::int16_t order);
    void SetLocal(const Transform& local);
    const Transform& Local() const { return local_; }
    // Recomputes world matrices of this node and its descendants from the parent's world.
    void UpdateWorld(const SceneNode* parent);
    const Matrix4f& World() const { return transform.world; }
    // Writes a material stage into every part of the node's mesh (copy-on-write).
    void SetMaterialStage(int slot, TexturePtr texture, std::uint32_t word);
    void SetTextureDetail(std::uint16_t level);
    void SetAlpha(float alpha) { materialAlpha = alpha; }
    void SetEffectEnabled(bool on) { effectEnabled = on; }
    void SetModeWord(std::uint32_t word) { modeWord = word; }
    // Depth-first search by name.
    SceneNode* Find(const std::string& nodeName);

    std::string name;
    std::uint32_t kind = 0;  // node kind for Scene::CollectNodesOfType
    std::uint8_t listFlag = 0;
    std::uint16_t blendMode = 0;  // 0 opaque, 1 blended
    std::uint32_t cullOverride = kNoCullModeOverride;
    std::int16_t drawOrder = 0;
    std::uint16_t currentMesh = 0;
    std::map<std::uint16_t, MeshPtr> meshes;
    std::vector<std::shared_ptr<SceneNode>> children;
    BoundingSphere sphere;
    TransformRecord transform;
    float materialAlpha = 1;
    bool effectEnabled = true;
    std::uint32_t modeWord = 0;

private:
    Transform local_;
    std::uint32_t id_ = NextRenderId();
};

using SceneNodePtr = std::shared_ptr<SceneNode>;
