#include "engine/core/Engine.h"

#include "engine/core/Log.h"

std::unique_ptr<Engine> EngineFactory::CreateEngine() {
    return std::make_unique<Engine>(*this);
}

std::unique_ptr<RenderDeviceBase> EngineFactory::CreateRenderDevice(Engine&) {
    return nullptr;
}
std::unique_ptr<ResourceManagerBase> EngineFactory::CreateResourceManager(Engine&) {
    return nullptr;
}
std::unique_ptr<SoundManagerBase> EngineFactory::CreateSoundManager(Engine&) {
    return nullptr;
}
std::unique_ptr<SceneManagerBase> EngineFactory::CreateSceneManager(Engine&) {
    return nullptr;
}

namespace {

// Creates one subsystem through its slot and initialises it; false only when it exists and fails.
template <class T, class Create>
bool Build(std::unique_ptr<T>& slot, Create create, const char16_t* name) {
    slot = create();
    if (!slot) {
        LogWrite(u"Engine : %s not available\n", name);
        return true;
    }
    if (!slot->Initialize()) {
        LogWrite(u"Engine : %s failed to initialize\n", name);
        slot.reset();
        return false;
    }
    return true;
}

}  // namespace

Engine::~Engine() {
    scenes_.reset();
    sound_.reset();
    resources_.reset();
    device_.reset();
}

bool Engine::Initialize() {
    if (initialized_) return result_;
    initialized_ = true;
    bool ok = Build(
        device_, [&] { return factory_.CreateRenderDevice(*this); }, u"render device");
    ok = Build(
             resources_, [&] { return factory_.CreateResourceManager(*this); }, u"resource manager") &&
         ok;
    ok = Build(
             sound_, [&] { return factory_.CreateSoundManager(*this); }, u"sound manager") &&
         ok;
    ok = Build(
             scenes_, [&] { return factory_.CreateSceneManager(*this); }, u"scene manager") &&
         ok;
    result_ = ok;
    return ok;
}

void Engine::SetActive(bool active) {
    active_ = active;
    if (device_) device_->SetActive(active);
}
