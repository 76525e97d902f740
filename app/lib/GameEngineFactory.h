#pragma once
// The client's engine factory: it fills the engine's slots with the render device over the backend
// the video backend calls for, the resource manager, the sound manager and the engine scene
// manager. The typed accessors below read them back from the engine it built.

#include <optional>

#include "engine/core/Engine.h"
#include "platform/video/RenderTypes.h"
#include "platform/window/Window.h"

class RenderDevice;
class ResourceManager;
class SceneManager;
class SoundManager;

class GameEngineFactory final : public EngineFactory {
public:
    // Creating the factory also creates the engine settings record when none exists yet.
    GameEngineFactory(platform::WindowSystem& windows, platform::Window* window);

    // The display-mode record the render device starts with.
    void SetDisplayMode(const platform::DisplayMode& mode) { displayMode_ = mode; }

    std::unique_ptr<RenderDeviceBase> CreateRenderDevice(Engine& engine) override;
    std::unique_ptr<ResourceManagerBase> CreateResourceManager(Engine& engine) override;
    std::unique_ptr<SoundManagerBase> CreateSoundManager(Engine& engine) override;
    // Needs the render device; without one there is no scene manager either.
    std::unique_ptr<SceneManagerBase> CreateSceneManager(Engine& engine) override;

private:
    platform::WindowSystem& windows_;
    platform::Window* window_;
    std::optional<platform::DisplayMode> displayMode_;
};

// The subsystems of an engine built by GameEngineFactory; nullptr when the engine has none.
RenderDevice* GetRenderDevice(const Engine* engine);
ResourceManager* GetResourceManager(const Engine* engine);
SoundManager* GetSoundManager(const Engine* engine);
SceneManager* GetEngineSceneManager(const Engine* engine);
