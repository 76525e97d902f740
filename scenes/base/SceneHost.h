#pragma once
// The services a scene asks of the application: window size, the two message queues, quitting,
// notices, the loading error, the session and its small sends, options, input, sound and the
// engine's subsystems. The application implements it; tests supply a fake. Scenes reach the
// application only through this interface, never through app/.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/Text.h"

class InputDevice;
class OptionsStore;
class RenderDevice;
class ResourceManager;
class SceneManager;
class SoundManager;

namespace gui {
class Dialog;
class InviteDialog;
class MyInfoWindow;
class NoticeBox;
class UserInfoWindow;
class Widget;
}  // namespace gui
namespace platform {
class KeyboardState;
}
namespace net {
class GameSession;
}

namespace scenes {

// The video settings the options dialog asks the application to apply.
struct VideoSettings {
    bool fullscreen = false;
    // The full-screen size (the stored one).
    std::uint32_t width = 1024, height = 768;
    // The size a window takes; 0 keeps the window's size.
    std::uint32_t windowWidth = 0, windowHeight = 0;
    std::uint32_t bitsPerPixel = 32, refreshRate = 60, multisample = 0;
    bool vsync = false;
    std::int32_t textureDetail = 1;
};

class SceneHost {
public:
    virtual ~SceneHost() = default;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    // Never waits: a full queue drops the message (counted in the log).
    virtual void PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) = 0;
    // For a notice whose handler reads the latest state ("the lists changed"): not queued again while
    // an equal one still waits, so a flood of packets costs one message.
    virtual void PostUiNotice(std::uint32_t code, std::uint32_t a = 0) { PostUiMessage(code, a, 0, 0); }
    virtual void PostQuit() = 0;
    // A mouse move at the last cursor position: hover follows a list that was refilled under a
    // resting cursor (a scrolled panel).
    virtual void PostMouseMove() {}
    // The "Loading error" box for a failed load (code -1 UI tree, -2 scene).
    virtual void ShowLoadingError(int code) = 0;
    // The shared notice box over `parent` (null: the current scene), up to three lines.
    virtual void ShowNotice(gui::Widget* /*parent*/, const WString& /*line1*/, const WString& /*line2*/ = {},
                            const WString& /*line3*/ = {}) {}
    // The shared windows: the two notice boxes on which callers build their own confirmations, and
    // the popups each 3D scene attaches to itself (without owning them) and shows on its buttons.
    // Null where the host has none.
    virtual gui::NoticeBox* GetNoticeBox() { return nullptr; }
    virtual gui::NoticeBox* GetSecondNoticeBox() { return nullptr; }
    virtual gui::Dialog* GetOptionDialog() { return nullptr; }
    virtual gui::Dialog* GetMessenger() { return nullptr; }
    virtual gui::MyInfoWindow* GetMyInfoWindow() { return nullptr; }
    virtual gui::UserInfoWindow* GetUserInfoWindow() { return nullptr; }
    virtual gui::InviteDialog* GetInviteDialog() { return nullptr; }
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
    // The held keys for key polling (is this virtual key down, pressed since the last poll).
    virtual platform::KeyboardState* Keyboard() { return nullptr; }
    // The game session of the running client, or null (offline, replay, before sign-in).
    virtual net::GameSession* CurrentSession() { return nullptr; }
    // Element `index` of the split command line (0 is the program path); empty when absent.
    virtual WString CommandLineArgument(std::size_t /*index*/) const { return {}; }
    // Options "watereffect": taken by the engine scene's water nodes after a load.
    virtual bool WaterEffect() const { return false; }

    // The shared "Error" box over `parent` (null: the current scene), up to three lines.
    virtual void ShowError(gui::Widget* /*parent*/, const WString& /*line1*/, const WString& /*line2*/ = {},
                           const WString& /*line3*/ = {}) {}
    // The file the options are saved to; empty when the host keeps none.
    virtual std::string ConfigFilePath() const { return {}; }
    // Sends the settings the server keeps (option word and flag byte) to the server.
    virtual void SendServerOptions() {}
    // Applies video settings; `changes` holds video_change bits.
    virtual void RequestVideoSettings(const VideoSettings& /*settings*/, std::uint32_t /*changes*/) {}
    // Offline mode: no connection, the offline table follows the login scene.
    virtual bool OfflineMode() const { return false; }
    // The client build number sent at sign-in.
    virtual std::uint32_t ClientBuild() const { return 0; }
    // Command-line argument `index` (2 login id, 3 password in normal mode), empty when missing.
    virtual WString Argument(std::size_t /*index*/) const { return {}; }
};

}  // namespace scenes
