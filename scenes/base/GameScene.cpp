#include "scenes/base/GameScene.h"

#include <string>

#include "engine/core/Log.h"
#include "engine/render/Scene.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundManager.h"
#include "net/Packet.h"
#include "platform/sys/Journal.h"
#include "scenes/base/SceneHost.h"
#include "scenes/base/SceneLighting.h"

namespace scenes {

GameScene::GameScene(int id) : id_(id), nextId_(id) {}

GameScene::~GameScene() = default;

int GameScene::OnPacket(net::Packet& packet) {
    return OnPacket(packet.GetId(), &packet);
}

int GameScene::Load3D(ResourceManager*, RenderDevice*) {
    return 0;
}

void GameScene::Render(RenderDevice*, bool) {}

bool GameScene::OnMessage(std::uint32_t, std::uintptr_t, std::intptr_t) {
    return false;
}

bool GameScene::Leave(ResourceManager*, SceneManager*) {
    gui::ClearGuiPointers();
    // The light nodes belong to engine scenes that may go with the loads below.
    lightNodes_[0].clear();
    lightNodes_[1].clear();
    for (auto& release : sceneObjects_) release();
    sceneObjects_.clear();
    for (auto& release : engineScenes_) release();
    engineScenes_.clear();
    for (auto& release : resources_) release();
    resources_.clear();
    return true;
}

void GameScene::FadeStep() {
    if (!fading_.load(std::memory_order_relaxed)) return;
    float alpha = fadeAlpha_.load(std::memory_order_relaxed) + 0.01f;
    if (alpha > 1.0f) {
        alpha = 1.0f;
        fading_.store(false, std::memory_order_relaxed);
    }
    fadeAlpha_.store(alpha, std::memory_order_relaxed);
}

void GameScene::RequestScene(int id) {
    nextId_.store(id, std::memory_order_release);
    changeRequested_.store(true, std::memory_order_release);
}

void GameScene::Activate(SceneManager* engineScenes) {
    Scene* current = engineScenes ? engineScenes->GetCurrentScene() : nullptr;
    const std::uint32_t kinds[2] = {node_kind::kSceneLightA, node_kind::kSceneLightB};
    for (int i = 0; i < 2; ++i) {
        lightNodes_[i].clear();
        if (current) current->CollectNodesOfType(kinds[i], lightNodes_[i]);
    }
    entryJournaled_.store(false, std::memory_order_release);
    Show(true);
    Enter();
    fading_.store(true, std::memory_order_relaxed);
    fadeAlpha_.store(0.0f, std::memory_order_relaxed);
    active_.store(true, std::memory_order_release);
    loading_.store(false, std::memory_order_release);
    if (!EntryWaitsForServer()) EntryComplete();
}

void GameScene::EntryComplete() {
    if (entryJournaled_.exchange(true, std::memory_order_acq_rel)) return;
    platform::Journal::Write("ENTERED " + std::to_string(id_));
}

void GameScene::Deactivate() {
    changeRequested_.store(false, std::memory_order_release);
    Show(false);
}

bool GameScene::SceneBeginLoad() {
    SetLoading(true);
    return true;
}

bool GameScene::SceneBeginLoadActive() {
    SetLoading(true);
    SetActive(false);
    return true;
}

void GameScene::UpdateTimeOfDay(std::uint32_t seconds) {
    if (ambientSounds_) {
        timeOfDay_.Update(seconds, ambientSounds_);
        return;
    }
    SoundManagerAmbient sounds(GetGlobalSoundManager());
    timeOfDay_.Update(seconds, &sounds);
}

void GameScene::SetupSceneLights(Scene* engineScene) {
    if (!engineScene) return;
    EngineSceneLighting target(*engineScene);
    timeOfDay_.SetupSceneLights(target, EffectsSupported(engineScene->Device().Caps()));
}

void GameScene::ResetSceneNodes(Scene* engineScene) {
    if (engineScene) ResetSelfLitNodes(*engineScene);
}

void GameScene::LoadSounds(ResourceManager* resources, std::initializer_list<int> ids, int musicId) {
    SoundManager* sound = Host() ? Host()->Sound() : nullptr;
    ResourcePackage* ui = resources ? resources->OpenPackage(u"UIEn") : nullptr;
    ResourceGroup* group = ui ? ui->FindGroup(u"Sound") : nullptr;
    if (!sound || !group) return;
    const auto& sounds = group->GetSoundManager();
    for (int id : ids) {
        const auto& found = sounds.FindById(static_cast<std::uint32_t>(id));
        if (!found->IsEmpty() && !sound->IsLoaded(id)) sound->LoadStatic(id, found->data.bytes);
    }
    if (musicId < 0) return;
    const auto& music = sounds.FindById(static_cast<std::uint32_t>(musicId));
    if (music->IsEmpty()) return;
    if (!sound->IsLoaded(musicId)) sound->LoadStream(musicId, music->data.bytes);
    if (sound->PlayDefault(musicId, true)) musicId_ = musicId;
}

void GameScene::StopMusic() {
    SoundManager* sound = Host() ? Host()->Sound() : nullptr;
    if (sound && musicId_ >= 0) sound->Stop(musicId_);
    musicId_ = -1;
}

}  // namespace scenes
