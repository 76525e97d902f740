#pragma once
// What the scenes' lighting changes in the engine: the adapters that carry the time of day into an
// engine scene (lamps, ambient colour, lights, fog) and into the sound manager (ambient sounds),
// the node resets of a loaded scene, and the process's sound manager pointer.

#include <cstdint>
#include <functional>

#include "platform/video/RenderTypes.h"
#include "scenes/base/TimeOfDay.h"

class Scene;
class SceneNode;
class SoundManager;

namespace scenes {

// Node kinds of an engine scene the shell treats specially.
namespace node_kind {
constexpr std::uint32_t kLamp = 2;         // lamp models: lit at night, dimmed by day
constexpr std::uint32_t kWater = 3;        // water: follows options "watereffect"
constexpr std::uint32_t kModeReset = 4;    // mode word back to 0 after a load
constexpr std::uint32_t kSelfLit = 5;      // reset by GameScene::ResetSceneNodes
constexpr std::uint32_t kSceneLightA = 6;  // collected on activation
constexpr std::uint32_t kSceneLightB = 7;
}  // namespace node_kind

// The third and fourth flag bytes of the device capabilities (bump environment mapping and cube
// textures) both set: the scene effects can be drawn.
bool EffectsSupported(const platform::DeviceCaps& caps);

// The engine's sound manager that scenes play through; null while no engine runs.
void SetGlobalSoundManager(SoundManager* sound);
SoundManager* GetGlobalSoundManager();

// Ambient sounds through a sound manager (none: nothing plays).
class SoundManagerAmbient final : public AmbientSoundPlayer {
public:
    explicit SoundManagerAmbient(SoundManager* sound) : sound_(sound) {}
    void Play(int id, float volume, int reserved, bool looping) override;
    void Stop(int id) override;

private:
    SoundManager* sound_;
};

// The time of day applied to an engine scene's content: lamp nodes (kind 2), the ambient colour,
// the directional lights (the scene's light map), the point lights (the lamps' own lights) and the
// fog record.
class EngineSceneLighting final : public SceneLightingTarget {
public:
    explicit EngineSceneLighting(Scene& scene) : scene_(scene) {}
    void SetLampsNight(bool night) override;
    void SetAmbient(const std::array<float, 4>& rgba) override;
    void SetSceneLights(bool enabled, const std::array<float, 4>& rgba) override;
    void SetNightLights(bool enabled) override;
    void SetFog(bool on, const std::array<float, 4>& rgba, float start, float end, float density) override;

private:
    Scene& scene_;
};

// The two lighting bytes of a material the lighting code switches: lit (day) and lighting off
// (night, the lamp glows whatever the lights).
struct MaterialFlags {
    std::uint8_t& lit;
    std::uint8_t& lightingOff;
};

// Calls fn for every node of a kind (at any depth), then re-files in the render tree each object
// that holds one of them, once.
void ForEachNodeOfKind(Scene& scene, std::uint32_t kind, const std::function<void(SceneNode&)>& fn);
// Gives the node's current mesh its own materials (copy on write) and lets fn change each of them.
void ChangeNodeMaterials(SceneNode& node, const std::function<void(MaterialFlags&)>& fn);

// After a load: water nodes (kind 3) take the water effect, kind-4 nodes their mode word 0.
void ResetLoadedSceneNodes(Scene& scene, bool waterEffect);
// Water nodes (kind 3) take the water effect (options change).
void ApplyWaterEffect(Scene& scene, bool waterEffect);
// Kind-5 nodes: own materials, lit cleared and lighting off set, opacity 1.0.
void ResetSelfLitNodes(Scene& scene);

}  // namespace scenes
