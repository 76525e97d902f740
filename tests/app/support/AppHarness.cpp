#include "AppHarness.h"

#include <cstdlib>

#include "platform/sys/Journal.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"

AppHarness::AppHarness(StartMode mode, std::vector<WString> args, platform::VideoBackend backend) {
    static std::atomic<int> counter{0};
    folder_ = testsupport::TempPath("app_harness_" + std::to_string(counter++));
    std::filesystem::create_directories(folder_ / "desktop");
    std::filesystem::create_directory_symlink(std::filesystem::path(MARVENLOT_BINARY_DIR) / "data",
                                              folder_ / "data");
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    ::setenv("MARVENLOT_AUDIO", "null", 1);
    ::setenv("MARVENLOT_HEADLESS", "1", 1);
    ::setenv("MARVENLOT_RUNTIME_DIR", folder_.c_str(), 1);
    ::setenv("MARVENLOT_HOME", folder_.c_str(), 1);
    ::setenv("MARVENLOT_DESKTOP_DIR", (folder_ / "desktop").c_str(), 1);
    platform::Journal::Open((folder_ / "journal.txt").string());
    windows_ = platform::WindowSystem::Create(backend);
    if (args.empty()) args = {u"marvenlot"};
    app_ = std::make_unique<App>(std::move(args), mode, *windows_);
}

AppHarness::~AppHarness() {
    app_.reset();
    platform::Journal::Open("");
    ::unsetenv("MARVENLOT_HOME");
    std::filesystem::current_path(previous_);
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

void AppHarness::Run(const std::function<void(App&)>& control) {
    app_->Init();
    app_->StartUpdateThread();
    if (!app_->Create()) {
        app_->Shutdown();
        return;
    }
    std::thread controller([&] {
        control(*app_);
        app_->PostQuit();
    });
    runResult = app_->Run();
    // A run that ended on its own still lets the controller finish before shutdown.
    controller.join();
    app_->Shutdown();
}

bool AppHarness::WaitFor(const std::function<bool()>& condition, int ms) {
    return testsupport::WaitUntil(condition, std::chrono::milliseconds(ms), std::chrono::milliseconds(2));
}
