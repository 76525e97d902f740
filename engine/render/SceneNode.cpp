#include "engine/render/SceneNode.h"

#include <cmath>

void Transform::Update() {
    float x = rotation[0], y = rotation[1], z = rotation[2], w = rotation[3];
    // The homogeneous form, divided by the squared length: for a unit quaternion the rotation as
    // it stands, for any other the rotation it stands for, so a node's drawn size never depends on
    // the length of its orientation (a ball's comes from records and peers). Without a direction
    // (zero or not a number) the node keeps no rotation.
    const float xx = x * x, yy = y * y, zz = z * z, ww = w * w;
    const float length2 = xx + yy + zz + ww;
    Matrix4f r;
    if (length2 > 0 && std::isfinite(length2)) {
        const float k = 1.0f / length2;
        At(r, 0, 0) = (xx - yy - zz + ww) * k;
        At(r, 0, 1) = 2 * (x * y + w * z) * k;
        At(r, 0, 2) = 2 * (x * z - w * y) * k;
        At(r, 1, 0) = 2 * (x * y - w * z) * k;
        At(r, 1, 1) = (yy - xx - zz + ww) * k;
        At(r, 1, 2) = 2 * (y * z + w * x) * k;
        At(r, 2, 0) = 2 * (x * z + w * y) * k;
        At(r, 2, 1) = 2 * (y * z - w * x) * k;
        At(r, 2, 2) = (ww - (yy + xx) + zz) * k;
    }
    matrix = Multiply(Multiply(ScalingMatrix(scale.x, scale.y, scale.z), r),
                      TranslationMatrix(position.x, position.y, position.z));
}

Mesh* SceneNode::CurrentMesh() const {
    auto it = meshes.find(currentMesh);
    return it == meshes.end() ? nullptr : it->second.get();
}

void SceneNode::SetMesh(std::uint16_t key, MeshPtr mesh) {
    meshes[key] = std::move(mesh);
}

SceneNode& SceneNode::AddChild(std::shared_ptr<SceneNode> child) {
    children.push_back(std::move(child));
    children.back()->UpdateWorld(this);
    return *children.back();
}

void SceneNode::SetDrawOrder(std::int16_t order) {
    drawOrder = order;
    for (auto& child : children) child->SetDrawOrder(order);
}

void SceneNode::SetLocal(const Transform& local) {
    local_ = local;
    UpdateWorld(nullptr);
}

void SceneNode::UpdateWorld(const SceneNode* parent) {
    transform.world = parent ? Multiply(local_.matrix, parent->transform.world) : local_.matrix;
    transform.identity = transform.world == Matrix4f{} ? 1 : 0;
    for (auto& child : children) child->UpdateWorld(this);
}

void SceneNode::SetMaterialStage(int slot, TexturePtr texture, std::uint32_t word) {
    auto it = meshes.find(currentMesh);
    if (it == meshes.end() || !it->second) return;
    if (it->second.use_count() > 1) it->second = std::make_shared<Mesh>(*it->second);
    Mesh& mesh = *it->second;
    for (std::size_t i = 0; i < mesh.parts.size(); ++i) mesh.MutableMaterial(i).SetStage(slot, texture, word);
}

void SceneNode::SetTextureDetail(std::uint16_t level) {
    for (auto& [key, mesh] : meshes) {
        if (!mesh) continue;
        for (auto& part : mesh->parts)
            if (part->material)
                for (auto& stage : part->material->stages)
                    if (stage.texture) stage.texture->SetDetail(level);
    }
}

SceneNode* SceneNode::Find(const std::string& nodeName) {
    if (name == nodeName) return this;
    for (auto& child : children)
        if (SceneNode* found = child->Find(nodeName)) return found;
    return nullptr;
}
