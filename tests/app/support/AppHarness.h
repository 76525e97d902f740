#pragma once
// Runs the application object in-process with the null window system, in a temporary start folder
// that sees the generated packages. Run() drives the main loop on the calling thread while a
// controller thread (the test body) posts input and waits for states.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/lib/App.h"
#include "platform/window/NullWindow.h"

class AppHarness {
public:
    explicit AppHarness(StartMode mode, std::vector<WString> args = {},
                        platform::VideoBackend backend = platform::VideoBackend::Null);
    ~AppHarness();

    // Init, update thread, Create; then Run on this thread while `control` runs on another one;
    // `control` ends the loop by returning (a quit is posted), then Shutdown.
    void Run(const std::function<void(App&)>& control);

    App& app() { return *app_; }
    // Only with the null backend.
    platform::NullWindow* Window() { return static_cast<platform::NullWindow*>(app_->MainWindow()); }
    const std::filesystem::path& Folder() const { return folder_; }
    // Polls `condition` for up to `ms` real milliseconds times the patience.
    static bool WaitFor(const std::function<bool()>& condition, int ms = 3000);

    int runResult = -1;

private:
    std::filesystem::path folder_;
    std::filesystem::path previous_;
    std::unique_ptr<platform::WindowSystem> windows_;
    std::unique_ptr<App> app_;
};
