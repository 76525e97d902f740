#include "scenes/base/SceneLighting.h"

#include <atomic>
#include <set>

#include "engine/render/Scene.h"
#include "engine/sound/SoundManager.h"

namespace scenes {

namespace {

std::atomic<SoundManager*> gSoundManager{nullptr};

constexpr float kLampAlphaNight = 1.0f;
constexpr float kLampAlphaDay = 0.8f;

}  // namespace

bool EffectsSupported(const platform::DeviceCaps& caps) {
    return caps.bumpEnvMap != 0 && caps.cubeTextures != 0;
}

void SetGlobalSoundManager(SoundManager* sound) {
    gSoundManager.store(sound, std::memory_order_release);
}

SoundManager* GetGlobalSoundManager() {
    return gSoundManager.load(std::memory_order_acquire);
}

void SoundManagerAmbient::Play(int id, float volume, int reserved, bool looping) {
    if (sound_) sound_->Play(id, volume, reserved, looping);
}

void SoundManagerAmbient::Stop(int id) {
    if (sound_) sound_->Stop(id);
}

void ForEachNodeOfKind(Scene& scene, std::uint32_t kind, const std::function<void(SceneNode&)>& fn) {
    // The render tree files top-level objects; a changed child is re-filed through its object.
    std::vector<SceneNode*> changedObjects;
    std::function<bool(SceneNode&)> visit = [&](SceneNode& node) {
        bool changed = false;
        if (node.kind == kind) {
            fn(node);
            changed = true;
        }
        for (auto& child : node.children)
            if (child && visit(*child)) changed = true;
        return changed;
    };
    for (auto& object : scene.Content().objects)
        if (object && visit(*object)) changedObjects.push_back(object.get());
    for (SceneNode* object : changedObjects) scene.Refile(*object);
}

void ChangeNodeMaterials(SceneNode& node, const std::function<void(MaterialFlags&)>& fn) {
    auto it = node.meshes.find(node.currentMesh);
    if (it == node.meshes.end() || !it->second) return;
    if (it->second.use_count() > 1) it->second = std::make_shared<Mesh>(*it->second);
    Mesh& mesh = *it->second;
    for (std::size_t i = 0; i < mesh.parts.size(); ++i) {
        if (!mesh.parts[i] || !mesh.parts[i]->material) continue;
        Material& material = mesh.MutableMaterial(i);
        MaterialFlags flags{material.lit, material.lightingOff};
        fn(flags);
    }
}

void EngineSceneLighting::SetLampsNight(bool night) {
    ForEachNodeOfKind(scene_, node_kind::kLamp, [night](SceneNode& node) {
        ChangeNodeMaterials(node, [night](MaterialFlags& flags) {
            flags.lit = night ? 0 : 1;
            flags.lightingOff = night ? 1 : 0;
        });
        node.SetAlpha(night ? kLampAlphaNight : kLampAlphaDay);
    });
}

void EngineSceneLighting::SetAmbient(const std::array<float, 4>& rgba) {
    scene_.Content().ambient = {rgba[0], rgba[1], rgba[2], rgba[3]};
}

void EngineSceneLighting::SetSceneLights(bool enabled, const std::array<float, 4>& rgba) {
    for (auto& [key, light] : scene_.Content().directionalLights) {
        if (!light) continue;
        platform::LightRecord record = light->Record();
        record.diffuse = {rgba[0], rgba[1], rgba[2], rgba[3]};
        light->SetParams(record);
        light->SetOn(enabled);
    }
}

void EngineSceneLighting::SetNightLights(bool enabled) {
    for (auto& [key, light] : scene_.Content().pointLights)
        if (light) light->SetOn(enabled);
}

void EngineSceneLighting::SetFog(bool on, const std::array<float, 4>& rgba, float start, float end,
                                 float density) {
    FogSettings& fog = scene_.Content().fog;
    fog.flags = (fog.flags & ~0x00FF0000u) | (on ? 0x00010000u : 0u);
    fog.r = rgba[0];
    fog.g = rgba[1];
    fog.b = rgba[2];
    fog.a = rgba[3];
    fog.start = start;
    fog.end = end;
    fog.density = density;
}

void ResetLoadedSceneNodes(Scene& scene, bool waterEffect) {
    ApplyWaterEffect(scene, waterEffect);
    ForEachNodeOfKind(scene, node_kind::kModeReset, [](SceneNode& node) { node.SetModeWord(0); });
}

void ApplyWaterEffect(Scene& scene, bool waterEffect) {
    ForEachNodeOfKind(scene, node_kind::kWater,
                      [waterEffect](SceneNode& node) { node.SetEffectEnabled(waterEffect); });
}

void ResetSelfLitNodes(Scene& scene) {
    ForEachNodeOfKind(scene, node_kind::kSelfLit, [](SceneNode& node) {
        ChangeNodeMaterials(node, [](MaterialFlags& flags) {
            flags.lit = 0;
            flags.lightingOff = 1;
        });
        node.SetAlpha(1.0f);
    });
}

}  // namespace scenes
