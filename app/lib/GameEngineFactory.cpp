#include "app/lib/GameEngineFactory.h"

#include "engine/core/EngineSettings.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundManager.h"
#include "platform/Drivers.h"

GameEngineFactory::GameEngineFactory(platform::WindowSystem& windows, platform::Window* window)
    : windows_(windows), window_(window) {
    GetEngineSettings();
}

std::unique_ptr<RenderDeviceBase> GameEngineFactory::CreateRenderDevice(Engine&) {
    auto device = std::make_unique<RenderDevice>(platform::OpenRenderBackend(windows_, window_));
    if (displayMode_) device->SetDisplayMode(*displayMode_);
    return device;
}

std::unique_ptr<ResourceManagerBase> GameEngineFactory::CreateResourceManager(Engine&) {
    return std::make_unique<ResourceManager>();
}

std::unique_ptr<SoundManagerBase> GameEngineFactory::CreateSoundManager(Engine&) {
    return std::make_unique<SoundManager>();
}

std::unique_ptr<SceneManagerBase> GameEngineFactory::CreateSceneManager(Engine& engine) {
    RenderDevice* device = GetRenderDevice(&engine);
    if (!device) return nullptr;
    return std::make_unique<SceneManager>(*device);
}

RenderDevice* GetRenderDevice(const Engine* engine) {
    return engine ? dynamic_cast<RenderDevice*>(engine->GetDevice()) : nullptr;
}

ResourceManager* GetResourceManager(const Engine* engine) {
    return engine ? dynamic_cast<ResourceManager*>(engine->GetResourceManager()) : nullptr;
}

SoundManager* GetSoundManager(const Engine* engine) {
    return engine ? dynamic_cast<SoundManager*>(engine->GetSoundManager()) : nullptr;
}

SceneManager* GetEngineSceneManager(const Engine* engine) {
    return engine ? dynamic_cast<SceneManager*>(engine->GetSceneManager()) : nullptr;
}
