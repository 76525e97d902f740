#pragma once
// The engine object: it holds the subsystems its factory builds and hands them out. The game
// derives its own factory and fills the slots; a slot that gives nothing leaves that subsystem
// unavailable.

#include <memory>

#include "engine/core/EngineInterfaces.h"

class Engine;

class EngineFactory {
public:
    virtual ~EngineFactory() = default;

    // An engine that builds its subsystems through this factory, which must outlive it.
    std::unique_ptr<Engine> CreateEngine();

    // Slots, called by Engine::Initialize in this order; each may reach the subsystems built
    // before it through the engine. nullptr: the subsystem is not available.
    virtual std::unique_ptr<RenderDeviceBase> CreateRenderDevice(Engine& engine);
    virtual std::unique_ptr<ResourceManagerBase> CreateResourceManager(Engine& engine);
    virtual std::unique_ptr<SoundManagerBase> CreateSoundManager(Engine& engine);
    virtual std::unique_ptr<SceneManagerBase> CreateSceneManager(Engine& engine);
};

class Engine {
public:
    explicit Engine(EngineFactory& factory) : factory_(factory) {}
    ~Engine();  // releases the subsystems in the reverse order of their creation
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Builds the render device, the resource manager, the sound manager and the scene manager
    // through the factory and initialises each one that it gets. A subsystem the factory does not
    // give is logged as not available and stays null; a subsystem that fails to initialise is
    // logged by name, released, and makes Initialize return false. A second call returns the
    // first call's result.
    bool Initialize();
    bool IsInitialized() const { return initialized_; }

    RenderDeviceBase* GetDevice() const { return device_.get(); }
    ResourceManagerBase* GetResourceManager() const { return resources_.get(); }
    SoundManagerBase* GetSoundManager() const { return sound_.get(); }
    SceneManagerBase* GetSceneManager() const { return scenes_.get(); }

    // Stores the flag and passes it to the render device.
    void SetActive(bool active);
    bool IsActive() const { return active_; }

private:
    EngineFactory& factory_;
    std::unique_ptr<RenderDeviceBase> device_;
    std::unique_ptr<ResourceManagerBase> resources_;
    std::unique_ptr<SoundManagerBase> sound_;
    std::unique_ptr<SceneManagerBase> scenes_;
    bool initialized_ = false;
    bool result_ = false;
    bool active_ = true;
};
