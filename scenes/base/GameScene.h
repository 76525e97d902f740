#pragma once
// Base of every screen of the client. A scene is the root panel of its widget tree and adds the
// scene operations the scene manager calls from the main, update and dispatch threads, the flags
// those threads test, the fade-in after loading and the request for a scene change.

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "gui/Placement.h"
#include "gui/Widget.h"
#include "net/SceneGate.h"
#include "scenes/base/TimeOfDay.h"

class Scene;
class SceneManager;
class SceneNode;

namespace scenes {

class SceneHost;

class GameScene : public gui::Panel, public net::PacketSink {
public:
    explicit GameScene(int id);
    ~GameScene() override;

    // Scene operations, in the order of the system's table.
    virtual void CreateUI() {}
    virtual void Enter() {}
    // 0 on success, non-zero on failure (the scene manager then shows its loading error).
    virtual int Load3D(ResourceManager* resources, RenderDevice* renderer);
    // Called when the scene becomes current again; false keeps what was loaded.
    virtual bool BeginLoad() { return false; }
    virtual void Render(RenderDevice* renderer, bool draw);
    // The hourly lighting: ambient colour, night flag, light and morning fades, ambient sounds.
    virtual void UpdateTimeOfDay(std::uint32_t seconds);
    virtual bool PollKeyboard() { return false; }
    virtual bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b);
    // Releases what the scene loaded; every scene's own Leave calls this first.
    virtual bool Leave(ResourceManager* resources, SceneManager* engineScenes);
    virtual void Update(std::uint64_t /*nowMs*/, std::uint64_t /*time100us*/) {}
    // Dispatch thread. The base handles no message and returns 0.
    virtual int OnPacket(std::uint16_t /*messageId*/, net::Packet* /*packet*/) { return 0; }
    int OnPacket(net::Packet& packet) final;
    virtual void ApplyOptions() {}
    virtual void Resize(int /*width*/, int /*height*/) {}
    virtual void OnActivate(bool /*active*/) {}
    virtual void FadeStep();
    // Carries the time-of-day state into the engine scene (null: nothing to light).
    virtual void SetupSceneLights(Scene* engineScene);
    // Kind-5 nodes of the engine scene: own materials, lit off, lighting off on, opacity 1.0.
    virtual void ResetSceneNodes(Scene* engineScene);
    virtual void ShowTitleBar(bool /*inStrip*/) {}
    virtual void AddChatLine(const WString& /*text*/, std::uint32_t /*argb*/) {}
    // The part of the scene whose shown controls a window opening over it at a place of its own (the
    // messenger) keeps clear of where it can; null: none.
    virtual const gui::Widget* ControlsToKeepClear() const { return nullptr; }
    // What such a window keeps clear of before those controls, in client coordinates: what the player
    // works on now (the shop's selected item: its card, its prices and its buttons).
    virtual std::vector<gui::ScreenRect> SelectionToKeepClear() const { return {}; }

    // Any thread: asks the render step to replace this scene by scene `id`.
    void RequestScene(int id);
    // Render step: the scene was loaded; collects the light nodes (kinds 6 and 7) of the engine's
    // current scene, shows the scene, enters it and starts the fade-in. The journal gets
    // "ENTERED <id>" then, or later from a scene whose entry waits for the server.
    void Activate(SceneManager* engineScenes = nullptr);
    // Render step, after Leave: clears the request and hides the panel.
    void Deactivate();
    // Render step: a request that cannot be carried out is dropped and the scene stays.
    void CancelRequest() { changeRequested_.store(false, std::memory_order_release); }
    // The begin-load steps shared by the 3D scenes (both return true).
    bool SceneBeginLoad();
    bool SceneBeginLoadActive();

    // What the loads of a scene release on leaving: scene objects, engine scenes, resources.
    void TrackSceneObject(std::function<void()> release) { sceneObjects_.push_back(std::move(release)); }
    void TrackEngineScene(std::function<void()> release) { engineScenes_.push_back(std::move(release)); }
    void TrackResource(std::function<void()> release) { resources_.push_back(std::move(release)); }

    // The application's services; set by the scene manager when it takes the scene, else null.
    SceneHost* Host() const { return host_; }
    void SetHost(SceneHost* host) { host_ = host; }

    int Id() const { return id_; }
    int NextId() const { return nextId_.load(std::memory_order_acquire); }
    bool IsActive() const { return active_.load(std::memory_order_acquire); }
    bool IsLoading() const { return loading_.load(std::memory_order_acquire); }
    bool ChangeRequested() const { return changeRequested_.load(std::memory_order_acquire); }
    bool WidgetInput() const { return widgetInput_.load(std::memory_order_acquire); }
    void SetWidgetInput(bool on) { widgetInput_.store(on, std::memory_order_release); }
    float FadeAlpha() const { return fadeAlpha_.load(std::memory_order_relaxed); }
    bool Fading() const { return fading_.load(std::memory_order_relaxed); }
    std::uint32_t LightingMode() const { return timeOfDay_.LightingMode(); }
    void SetLightingMode(std::uint32_t mode) { timeOfDay_.SetLightingMode(mode); }
    TimeOfDay& GetTimeOfDay() { return timeOfDay_; }
    // Where the ambient sounds play; null (the default) is the engine's sound manager.
    void SetAmbientSoundPlayer(AmbientSoundPlayer* player) { ambientSounds_ = player; }
    // Static sounds and one looping music stream (none when musicId is negative) from the UI
    // package's "Sound" group, through the host's sound manager.
    void LoadSounds(ResourceManager* resources, std::initializer_list<int> ids, int musicId);
    // Stops the music stream LoadSounds started, if any.
    void StopMusic();
    // The engine scene nodes of kinds 6 and 7 collected by the last activation.
    const std::vector<SceneNode*>& LightNodes(int index) const { return lightNodes_[index ? 1 : 0]; }
    // Set by scenes on each user-interface message: the table world left it unhandled.
    std::atomic<bool> tableWorldUnhandled{false};

protected:
    void SetActive(bool on) { active_.store(on, std::memory_order_release); }
    void SetLoading(bool on) { loading_.store(on, std::memory_order_release); }
    // A scene that shows what the server answers its entry returns true, and calls EntryComplete
    // once that answer is on its widgets.
    virtual bool EntryWaitsForServer() const { return false; }
    // Writes "ENTERED <id>" to the journal, once per entry.
    void EntryComplete();

private:
    const int id_;
    SceneHost* host_ = nullptr;
    std::atomic<int> nextId_;
    std::atomic<bool> active_{false};
    std::atomic<bool> loading_{true};
    std::atomic<bool> changeRequested_{false};
    std::atomic<bool> widgetInput_{true};
    std::atomic<bool> entryJournaled_{false};
    std::atomic<bool> fading_{false};
    std::atomic<float> fadeAlpha_{1.0f};
    TimeOfDay timeOfDay_;
    AmbientSoundPlayer* ambientSounds_ = nullptr;
    int musicId_ = -1;
    std::vector<SceneNode*> lightNodes_[2];
    std::vector<std::function<void()>> sceneObjects_;
    std::vector<std::function<void()>> engineScenes_;
    std::vector<std::function<void()>> resources_;
};

}  // namespace scenes
