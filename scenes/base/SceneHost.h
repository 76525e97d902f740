#pragma once
// The services a scene asks of the application: window size, the two message queues, quitting,
// notices, the loading error, the session and its small sends, options, input, sound and the
// engine's subsystems. The application implements it; tests supply a fake. Scenes reach the
// application only through this interface, never through app/.

#include <cstdint>

#include "engine/core/Text.h"

class InputDevice;
class OptionsStore;
class RenderDevice;
class ResourceManager;
class SceneManager;
class SoundManager;

namespace gui {
class Widget;
}
namespace net {
class GameSession;
}

namespace scenes {

class SceneHost {
public:
    virtual ~SceneHost() = default;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual void PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) = 0;
    virtual void PostQuit() = 0;
    // The "Loading error" box for a failed load (code -1 UI tree, -2 scene).
    virtual void ShowLoadingError(int code) = 0;
    // The shared notice box over `parent` (null: the current scene), up to three lines.
    virtual void ShowNotice(gui::Widget* /*parent*/, const WString& /*line1*/, const WString& /*line2*/ = {},
                            const WString& /*line3*/ = {}) {}
    virtual void SendByteMessage(std::uint16_t id, std::uint8_t value) = 0;
    virtual void SendMyInfoValue() {}
    virtual void OpenClanDialog() {}
    // A scene became current (journal line "SCENE <id>").
    virtual void OnSceneCurrent(int /*id*/) {}
    virtual ResourceManager* Resources() { return nullptr; }
    virtual RenderDevice* Renderer() { return nullptr; }
    virtual SceneManager* EngineScenes() { return nullptr; }
    // Where the ambient sounds of the lighting play; null while no engine runs.
    virtual SoundManager* Sound() { return nullptr; }
    // The options store (config.ini); null in hosts without one.
    virtual OptionsStore* UserOptions() { return nullptr; }
    // The mouse input device, or null when it could not start.
    virtual InputDevice* Input() { return nullptr; }
    // The game session of the running client, or null (offline, replay, before sign-in).
    virtual net::GameSession* CurrentSession() { return nullptr; }
    // Options "watereffect": taken by the engine scene's water nodes after a load.
    virtual bool WaterEffect() const { return false; }
};

}  // namespace scenes
