#pragma once
// An engine scene: its content (scene records, lights, model objects, sprites), its cameras and
// the render sort tree that draws them. Objects are filed in the constructor; a node is always
// taken out of the tree before it is dropped.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/Camera.h"
#include "engine/render/Light.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/RenderSortTree.h"
#include "engine/render/SceneNode.h"
#include "engine/render/Sprite.h"

struct SceneContent {
    platform::MaterialRecord firstRecord;  // the scene's default material
    platform::ColorValue ambient{0.3f, 0.3f, 0.3f, 1.0f};
    FogSettings fog;
    std::map<std::uint32_t, std::shared_ptr<Light>> directionalLights;
    std::map<std::uint32_t, std::shared_ptr<Light>> pointLights;
    std::vector<SceneNodePtr> objects;
    std::map<std::uint32_t, SpritePtr> sprites;
};

// Map of keyed resources whose keys are renumbered from 1 after an erase.
template <class T>
using KeyedResourceMap = std::map<std::uint32_t, T>;

namespace keyed_resource_map {
// Erases key and renumbers the remaining entries 1, 2, ... in key order.
template <class T>
void EraseAndRenumber(KeyedResourceMap<T>& map, std::uint32_t key) {
    map.erase(key);
    KeyedResourceMap<T> renumbered;
    std::uint32_t next = 1;
    for (auto& [k, value] : map) renumbered.emplace(next++, std::move(value));
    map.swap(renumbered);
}
}  // namespace keyed_resource_map

class Scene {
public:
    Scene(RenderDevice& device, std::string name, SceneContent content = {});
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    const std::string& Name() const { return name_; }
    SceneContent& Content() { return content_; }
    RenderSortTree& Tree() { return *tree_; }
    RenderDevice& Device() { return device_; }

    // Cameras by id; the current one draws the scene. There is always one.
    KeyedResourceMap<std::shared_ptr<Camera>>& Cameras() { return cameras_; }
    Camera* FindCamera(std::uint32_t id);
    Camera& CurrentCamera();
    bool SetCurrentCamera(std::uint32_t id);
    std::uint32_t CurrentCameraId() const { return currentCamera_; }
    // Called by the frame pass when the camera is dirty: sort values of blended parts become
    // their distance from the eye.
    void UpdateCamera();
    std::uint8_t cameraDirty = 1;
    std::uint32_t clearColor = 0xFF000000;

    void AddObject(SceneNodePtr node);
    // Takes the node out of the tree, then drops it.
    void RemoveObject(SceneNode& node);
    void AddSprite(std::uint32_t key, SpritePtr sprite);
    void RemoveSprite(std::uint32_t key);
    // Re-files an object after its blend mode, cull override, draw order, mesh or material changed.
    void Refile(SceneNode& node);
    // key = index in the object list; reset: the node's mode word goes back to 0 first.
    bool RefileNode(std::uint32_t key, bool reset);
    void CollectNodesOfType(std::uint32_t kind, std::vector<SceneNode*>& list);
    SceneNode* FindNode(const std::string& name);

    void Update(std::uint64_t nowMs);

private:
    RenderDevice& device_;
    std::string name_;
    SceneContent content_;
    std::unique_ptr<RenderSortTree> tree_;
    KeyedResourceMap<std::shared_ptr<Camera>> cameras_;
    std::uint32_t currentCamera_ = 1;
};
