#include "engine/render/Scene.h"

#include <functional>

Scene::Scene(RenderDevice& device, std::string name, SceneContent content)
    : device_(device), name_(std::move(name)), content_(std::move(content)) {
    tree_ = std::make_unique<RenderSortTree>(device_, this);
    auto camera = std::make_shared<Camera>();
    camera->id = 1;
    camera->SetLookAt({0, 200, -300}, {0, 0, 0}, {0, 1, 0}, {0, 1, 0});
    cameras_.emplace(1, camera);
    for (auto& object : content_.objects)
        if (object) tree_->AddObject(*object);
    for (auto& [key, sprite] : content_.sprites)
        if (sprite) tree_->AddSprite(*sprite);
}

Scene::~Scene() {
    for (auto& [key, sprite] : content_.sprites)
        if (sprite) tree_->RemoveSprite(*sprite);
    for (auto& object : content_.objects)
        if (object) tree_->RemoveObject(*object);
    tree_.reset();
}

Camera* Scene::FindCamera(std::uint32_t id) {
    auto it = cameras_.find(id);
    return it == cameras_.end() ? nullptr : it->second.get();
}

Camera& Scene::CurrentCamera() {
    if (Camera* camera = FindCamera(currentCamera_)) return *camera;
    if (cameras_.empty()) cameras_.emplace(1, std::make_shared<Camera>());
    currentCamera_ = cameras_.begin()->first;
    return *cameras_.begin()->second;
}

bool Scene::SetCurrentCamera(std::uint32_t id) {
    if (!FindCamera(id)) return false;
    currentCamera_ = id;
    cameraDirty = 1;
    return true;
}

void Scene::UpdateCamera() {
    Vector3f eye = CurrentCamera().Eye();
    std::function<void(SceneNode&)> visit = [&](SceneNode& node) {
        if (node.blendMode == 1 || node.cullOverride != kNoCullModeOverride) {
            if (Mesh* mesh = node.CurrentMesh()) {
                for (auto& part : mesh->parts) {
                    Vector3f centre = TransformPoint(ToVector(part->sphere.center), node.transform.world);
                    part->sortValue = Length(centre - eye);
                }
            }
        }
        for (auto& child : node.children)
            if (child) visit(*child);
    };
    for (auto& object : content_.objects)
        if (object) visit(*object);
}

void Scene::AddObject(SceneNodePtr node) {
    if (!node) return;
    content_.objects.push_back(node);
    tree_->AddObject(*node);
}

void Scene::RemoveObject(SceneNode& node) {
    for (auto it = content_.objects.begin(); it != content_.objects.end(); ++it) {
        if (it->get() != &node) continue;
        tree_->RemoveObject(node);
        content_.objects.erase(it);
        return;
    }
}

void Scene::AddSprite(std::uint32_t key, SpritePtr sprite) {
    if (!sprite) return;
    RemoveSprite(key);
    content_.sprites[key] = sprite;
    tree_->AddSprite(*sprite);
}

void Scene::RemoveSprite(std::uint32_t key) {
    auto it = content_.sprites.find(key);
    if (it == content_.sprites.end()) return;
    if (it->second) tree_->RemoveSprite(*it->second);
    content_.sprites.erase(it);
}

void Scene::Refile(SceneNode& node) {
    tree_->RemoveObject(node);
    tree_->AddObject(node);
}

bool Scene::RefileNode(std::uint32_t key, bool reset) {
    if (key >= content_.objects.size() || !content_.objects[key]) return false;
    SceneNode& node = *content_.objects[key];
    if (reset) node.SetModeWord(0);
    Refile(node);
    return true;
}

void Scene::CollectNodesOfType(std::uint32_t kind, std::vector<SceneNode*>& list) {
    std::function<void(SceneNode&)> visit = [&](SceneNode& node) {
        if (node.kind == kind) list.push_back(&node);
        for (auto& child : node.children)
            if (child) visit(*child);
    };
    for (auto& object : content_.objects)
        if (object) visit(*object);
}

SceneNode* Scene::FindNode(const std::string& name) {
    for (auto& object : content_.objects)
        if (object)
            if (SceneNode* found = object->Find(name)) return found;
    return nullptr;
}

void Scene::Update(std::uint64_t) {
    for (auto& object : content_.objects)
        if (object) object->UpdateWorld(nullptr);
}
