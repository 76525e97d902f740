#pragma once
// The engine's scene manager: the engine scenes, which one is current, and the per-frame update
// and drawing of the current one, with an optional statistics overlay. Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "engine/core/EngineInterfaces.h"
#include "engine/core/Text.h"
#include "engine/render/Scene.h"

class ResourceGroup;
struct SceneInfoData;

class SceneManager final : public SceneManagerBase {
public:
    explicit SceneManager(RenderDevice& device) : device_(device) {}
    ~SceneManager() override;

    // A new, empty scene; returns it (its index is SceneCount() - 1).
    Scene* CreateScene(const std::string& name);
    // Builds a scene from a SCENE_INFO record of a group and adds it; returns it.
    Scene* AddSceneFromInfo(const SceneInfoData& info, const ResourceGroup& group,
                            const std::string& name = {});
    std::size_t SceneCount() const { return scenes_.size(); }
    Scene* GetScene(std::size_t index) const {
        return index < scenes_.size() ? scenes_[index].get() : nullptr;
    }
    // Releases the old current scene's device resources, restores the new one's and marks its
    // camera dirty. False for an index with no scene (the current scene stays).
    bool SetCurrentScene(std::size_t index);
    Scene* GetCurrentScene() const { return current_; }
    // Drops every scene (the current one first stops being current).
    void DestroyScenes();

    void UpdateCurrentScene();
    // Draws the current scene: clear colour, tree, overlay. False when the tree walk failed.
    bool RenderCurrentScene();
    // Aspect = client height / width; given to every camera.
    void SetAspect(float heightOverWidth);
    float Aspect() const { return aspect_; }

    void SetStatisticsOverlay(bool on) { overlay_ = on; }
    const RenderStatistics& Statistics() const { return statistics_; }
    // The overlay lines: "FVF: 12", "StaticBuffer: 3", ...
    static std::vector<WString> StatisticsLines(const RenderStatistics& statistics);

private:
    RenderDevice& device_;
    std::vector<std::unique_ptr<Scene>> scenes_;
    Scene* current_ = nullptr;
    float aspect_ = 0.75f;
    bool overlay_ = false;
    RenderStatistics statistics_;
};
