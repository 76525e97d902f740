#pragma once
// The single application object: window state, video mode, start mode, options, frame timer,
// game scene manager, the two message queues, the render device, resources, sound and the game
// session. Scenes reach it through the scene host interface it implements; the shell's own parts
// through App::Get().
//
// Threads: the main thread runs Init, Create, Run and Shutdown, the window procedure, the UI
// queue and every render step; the update thread ticks the current scene every 5 ms.
// Lock order: App lock, then the scene manager's scene lock, then its message lock.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/lib/AppCodes.h"
#include "app/lib/CommandLine.h"
#include "app/lib/FrameTimer.h"
#include "app/lib/GameSceneManager.h"
#include "app/lib/SessionLink.h"
#include "engine/core/EventQueue.h"
#include "engine/core/Lcg.h"
#include "engine/core/Options.h"
#include "platform/sys/CriticalSection.h"
#include "platform/sys/Event.h"
#include "platform/sys/Thread.h"
#include "platform/window/Window.h"

class Engine;
class GameEngineFactory;
class InputDevice;
class SceneManager;
class SoundManager;
namespace gui {
class UiResourceSet;
}

// The video settings the options dialog hands over with app message 1055.
using VideoSettings = scenes::VideoSettings;

// The client build number, sent at sign-in and written into shot records.
constexpr std::uint32_t GetClientBuildNumber() {
    return kClientBuildNumber;
}

class App final : public scenes::SceneHost {
public:
    App(std::vector<WString> args, StartMode mode, platform::WindowSystem& windows);
    ~App() override;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The application object while it exists, else nullptr.
    static App* Get();

    // Start-up and shutdown, in the order the program entry calls them.
    void Init();
    void StartUpdateThread();
    bool Create();
    int Run();
    void Shutdown();

    bool InitRenderer();
    void CreateScenes();
    bool RenderFrame();
    bool ApplyPendingWindowChanges();
    int ApplyVideoSettings(std::uint32_t flags);
    void ToggleFullscreen();
    void RequestDialogBoxMode(bool on);
    void SetDialogBoxMode(bool on);
    void PauseRendering();
    void ResumeRendering();

    // Any thread.
    void PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) override;
    void PostUiNotice(std::uint32_t code, std::uint32_t a = 0) override;
    void PostUpdateMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c);
    void PostQuit() override;
    void PostMouseMove() override;
    // 1 when the application handled the record itself. Window and display codes drained on the
    // update thread are passed on to the main thread.
    int FilterMessage(const EventRecord& record, bool onMainThread = true);
    void ApplySoundOptions();
    void SendServerOptions() override;

    // Main thread: the window procedure.
    std::intptr_t WndProc(const platform::Message& message);
    bool SaveScreenshot();
    void WriteSystemInfo();
    void ShowCursor(bool show);
    void ClipCursorToWindow(bool on);
    void SetMouseCapture(bool on);

    // SceneHost.
    int ClientWidth() const override { return clientWidth_.load(std::memory_order_relaxed); }
    int ClientHeight() const override { return clientHeight_.load(std::memory_order_relaxed); }
    void ShowLoadingError(int code) override;
    void SendByteMessage(std::uint16_t id, std::uint8_t value) override;
    void SendMyInfoValue() override;
    void OnSceneCurrent(int id) override;
    ResourceManager* Resources() override { return resources_; }
    RenderDevice* Renderer() override { return renderer_; }
    SceneManager* EngineScenes() override { return engineScenes_; }
    void ShowNotice(gui::Widget* parent, const WString& line1, const WString& line2 = {},
                    const WString& line3 = {}) override;
    OptionsStore* UserOptions() override { return &options_; }
    gui::NoticeBox* GetNoticeBox() override { return scenes_.GetNoticeBox(); }
    gui::NoticeBox* GetSecondNoticeBox() override { return scenes_.GetSecondNoticeBox(); }
    gui::Dialog* GetOptionDialog() override { return scenes_.GetOptionDialog(); }
    gui::Dialog* GetMessenger() override { return scenes_.GetMessenger(); }
    void ShowError(gui::Widget* parent, const WString& line1, const WString& line2 = {},
                   const WString& line3 = {}) override;
    std::string ConfigFilePath() const override { return configPathA_; }
    void RequestVideoSettings(const VideoSettings& settings, std::uint32_t changes) override;
    bool OfflineMode() const override { return mode_ == StartMode::Offline; }
    std::uint32_t ClientBuild() const override { return kClientBuildNumber; }
    void OpenClanDialog() override;
    WString Argument(std::size_t index) const override { return ArgumentOrEmpty(args_, index); }
    gui::MyInfoWindow* GetMyInfoWindow() override { return scenes_.GetMyInfoWindow(); }
    gui::UserInfoWindow* GetUserInfoWindow() override { return scenes_.GetUserInfoWindow(); }
    gui::InviteDialog* GetInviteDialog() override { return scenes_.GetInviteDialog(); }
    net::GameSession* CurrentSession() override;
    WString CommandLineArgument(std::size_t index) const override {
        return index < args_.size() ? args_[index] : WString{};
    }
    bool WaterEffect() const override;

    // Accessors used by the scenes and by tests.
    StartMode Mode() const { return mode_; }
    const std::vector<WString>& Arguments() const { return args_; }
    OptionsStore& GetOptions() { return options_; }
    GameSceneManager& Scenes() { return scenes_; }
    FrameTimer& Timer() { return timer_; }
    Lcg& Random() { return lcg_; }
    platform::CriticalSection& Lock() { return lock_; }
    platform::Window* MainWindow() { return window_.get(); }
    platform::WindowSystem& Windows() { return windows_; }
    SessionLink& Session() { return *session_; }
    void SetSession(std::unique_ptr<SessionLink> session);
    SoundManager* Sound() override { return sound_; }
    // The engine the factory built (null before InitRenderer and after Shutdown).
    Engine* GetEngine() { return engine_.get(); }
    // The mouse input device, or nullptr when it could not start.
    InputDevice* Input() override { return input_.get(); }
    platform::KeyboardState* Keyboard() override { return &windows_.Keyboard(); }
    const std::string& ConfigPath() const { return configPathA_; }
    const std::string& StartDirectory() const { return startDir_; }
    // Changes the current folder back to the start folder unless `skip`; returns 1.
    int RestoreWorkingDirectory(bool skip);
    const WString& StatusText() const { return statusText_; }
    bool IsFullscreen() const { return fullscreen_; }
    bool IsRunning() const { return running_.load(std::memory_order_acquire); }
    bool IsRenderingActive() const { return renderingActive_.load(std::memory_order_acquire); }
    std::uint32_t PendingChanges() const { return pending_.load(); }
    bool UpdateThreadJoined() const { return updateThreadJoined_; }
    // True after the window, the device or the packages failed at start, or a scene failed to load:
    // the process then ends with a failure exit code.
    bool Failed() const { return failed_; }
    std::uint32_t UpdateTicks() const { return updateTicks_.load(std::memory_order_relaxed); }
    int CurrentSceneId() const { return scenes_.CurrentId(); }
    // A scene id is refused unless this mode registered it.
    std::vector<int> SceneIds() const { return scenes_.SceneIds(); }
    // The video settings the next app message 1055 applies (the options dialog's working copy).
    // Builds the scene of an id in CreateScenes (tests put recording scenes in).
    void SetSceneFactory(std::function<std::unique_ptr<scenes::GameScene>(int id)> factory) {
        sceneFactory_ = std::move(factory);
    }
    // Called on every pass of the main loop (the program entry polls its signal and raise channels).
    void SetPumpHook(std::function<void()> hook) { pumpHook_ = std::move(hook); }
    void SetPendingVideoSettings(const VideoSettings& settings) { videoSettings_ = settings; }

    // Windowed edge sizing: the new client size for a drag from `start` by the pointer, signed and
    // clamped to [1024, desktop width] x [768, desktop height].
    static void SizingResult(std::uint32_t mode, int startWidth, int startHeight, int startX, int startY,
                             int x, int y, int desktopWidth, int desktopHeight, int& outWidth,
                             int& outHeight);
    // "Marvenlot-yymmdd-hhmmss.jpg" for a local time.
    static WString ScreenshotFileName(int year, int month, int day, int hour, int minute, int second);
    // Where the screenshot notice of this width is drawn on a client of this size: centred in the
    // strip along the bottom edge, but never over the item strip at its left.
    static platform::Rect StatusTextRect(int clientWidth, int clientHeight, int textWidth);

private:
    void UpdateThread();
    void DrainUiQueue();
    void DrainUpdateQueue();
    void SetWindowRect(bool fullscreen, int width, int height, int x, int y);
    void MoveWindowForMode();
    bool InitWindow();
    platform::DisplayMode DisplayRecord() const;
    void ApplyDisplayRecord();
    void SetEngineActive(bool active);
    void SetEngineAspect();
    void ReleaseEngine();
    // Writes config.ini (never in replay mode); a failure is logged with its reason.
    void SaveOptions(const Options& options);
    // Fits the display mode to the display-mode list: in full screen the mode in use, in a window
    // the stored full-screen size. True when anything changed.
    bool FitDisplayMode(Options& options);
    // Marks the start failed and ends the main loop.
    void FailStart();
    void ApplyTextureFilter();
    std::intptr_t HandleWindowedMouse(const platform::Message& message, bool& handled);
    std::intptr_t DefaultHandling(const platform::Message& message);
    // The size a kWmSize carries (0 x 0: the window's own).
    void FollowDesktopSize(int width, int height);
    void HandleCommand(std::uint32_t id);
    // Main thread: the connection dropped in a scene that lives on the server's word; the notice
    // whose OK leads back to the sign-in. False where the scene handles it itself.
    bool OnConnectionLost();
    void ShowLostConnectionNotice();
    bool lostNoticePending_ = false;  // main thread
    // Main thread: pages and files the desktop could not open are logged with the reason and told
    // in the second notice box (the first may hold the lost connection's) over the current scene.
    void ReportShellOpenFailures();
    enum class OpenFailure { None, Failed, NoBrowser };
    OpenFailure openFailureNotice_ = OpenFailure::None;  // main thread

    std::vector<WString> args_;
    StartMode mode_;
    platform::WindowSystem& windows_;
    std::unique_ptr<platform::Window> window_;

    std::string startDir_;
    std::string configPathA_;
    std::string packagesDir_;
    WString statusText_;
    std::uint64_t statusTime_ = 0;

    std::atomic<bool> fullscreen_{false};
    bool updaterMinimised_ = false;
    int windowX_ = 0, windowY_ = 0;
    std::uint32_t bitsPerPixel_ = 32, refreshRate_ = 60, multisample_ = 0;
    bool vsync_ = false;
    bool cursorShown_ = true;
    std::uint32_t cursorStyle_ = 0;
    std::uint32_t sizingMode_ = sizing::kNone;
    int sizingStartX_ = 0, sizingStartY_ = 0;
    int sizingStartWidth_ = 0, sizingStartHeight_ = 0;
    bool sizeMoveStartKnown_ = false;
    std::atomic<int> lastMouseX_{0}, lastMouseY_{0};
    std::atomic<int> clientWidth_{1024}, clientHeight_{768};
    std::uint32_t fullscreenWidth_ = 0, fullscreenHeight_ = 0;
    std::uint32_t windowedWidth_ = kWindowedWidth, windowedHeight_ = kWindowedHeight;
    platform::DesktopMode desktop_;
    platform::Rect windowRect_;

    std::atomic<bool> running_{false};
    std::atomic<bool> renderingActive_{false};
    std::atomic<bool> windowActive_{true};
    std::atomic<bool> ready_{false};
    bool deviceInitialised_ = false;
    std::atomic<std::uint32_t> pending_{0};
    bool inSizeMove_ = false;
    bool changedDuringSizeMove_ = false;
    bool minimised_ = false;
    bool dialogBoxModeWanted_ = false;
    bool scenesCreated_ = false;
    bool failed_ = false;
    VideoSettings videoSettings_;
    std::uint32_t deferredVideoFlags_ = 0;
    std::function<void()> pumpHook_;
    std::function<std::unique_ptr<scenes::GameScene>(int id)> sceneFactory_;

    platform::CriticalSection lock_;
    platform::Event startEvent_{platform::Event::Reset::Manual};
    platform::Event exitEvent_{platform::Event::Reset::Manual};
    platform::Thread updateThread_;
    bool updateThreadJoined_ = false;
    std::atomic<std::uint32_t> updateTicks_{0};

    OptionsStore options_;
    FrameTimer timer_;
    GameSceneManager scenes_;
    Lcg lcg_;
    std::unique_ptr<EventQueue> updateQueue_;
    std::unique_ptr<EventQueue> uiQueue_;
    HeldMessages uiHeld_;
    HeldMessages updateHeld_;
    std::unique_ptr<SessionLink> session_;
    // The engine and its factory; the pointers below are its subsystems, valid while it lives.
    std::unique_ptr<GameEngineFactory> factory_;
    std::unique_ptr<Engine> engine_;
    RenderDevice* renderer_ = nullptr;
    ResourceManager* resources_ = nullptr;
    SoundManager* sound_ = nullptr;
    SceneManager* engineScenes_ = nullptr;
    std::unique_ptr<InputDevice> input_;
    std::unique_ptr<gui::UiResourceSet> uiResources_;
    platform::DeviceCaps caps_;
};
