// The client's window on a real X server (Xvfb) with the sdl backend and OpenGL. Skipped when
// Xvfb is not installed.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "platform/video/ImageFile.h"
#include "support/AppHarness.h"
#include "tests/common/XvfbDisplay.h"

// Mesa's and the X libraries' allocations live as long as the process and their modules are unloaded
// before the leak check runs; leak checking of this code is left to the unit tests.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

namespace {

namespace fs = std::filesystem;
using namespace platform;
using testsupport::XvfbDisplay;

// The X server goes with its lock file and socket: a test leaves nothing in /tmp.
TEST(AppOnXvfb, TitledWindowScreenshotAtClientSizeAndFullscreenToggle) {
    std::optional<XvfbDisplay> display(std::in_place);
    if (!display->Start()) GTEST_SKIP() << "Xvfb is not available";
    const std::string number = display->Name().substr(1);
    ::setenv("DISPLAY", display->Name().c_str(), 1);
    ::setenv("MARVENLOT_VIDEO", "sdl", 1);
    {
        AppHarness harness(StartMode::Offline, {}, VideoBackend::Sdl);
        { std::ofstream(harness.Folder() / "config.ini") << "[Video]\nfullscreen=0\n"; }
        std::u16string title;
        std::vector<bool> fullscreen;
        harness.Run([&](App& app) {
            ASSERT_TRUE(AppHarness::WaitFor(
                [&] {
                    scenes::GameScene* scene = app.Scenes().Current();
                    return scene && scene->IsActive();
                },
                10000));
            title = app.MainWindow()->Title();
            app.Windows().PostMessage({kWmSysKeyDown, kVkF10, 1});
            ASSERT_TRUE(
                AppHarness::WaitFor([&] { return !fs::is_empty(harness.Folder() / "desktop"); }, 5000));
            for (bool want : {true, false}) {
                app.Windows().PostMessage(
                    {kWmSysKeyDown, kVkReturn, static_cast<std::intptr_t>(kKeyAltDown | 1)});
                AppHarness::WaitFor(
                    [&] {
                        return app.IsFullscreen() == want && app.PendingChanges() == 0 &&
                               app.IsRenderingActive();
                    },
                    5000);
                AppHarness::WaitFor([&] { return app.MainWindow()->IsFullscreen() == want; }, 3000);
                fullscreen.push_back(app.MainWindow()->IsFullscreen());
            }
        });
        EXPECT_EQ(title, u"Marvenlot");
        EXPECT_EQ(fullscreen, (std::vector<bool>{true, false}));
        ASSERT_FALSE(fs::is_empty(harness.Folder() / "desktop"));
        const fs::path shot = fs::directory_iterator(harness.Folder() / "desktop")->path();
        Image image;
        ASSERT_TRUE(LoadJpeg(shot.string(), image)) << shot;
        EXPECT_EQ(image.width, 1024u);
        EXPECT_EQ(image.height, 768u);
    }
    ::unsetenv("MARVENLOT_VIDEO");
    ::unsetenv("DISPLAY");
    display.reset();
    EXPECT_FALSE(fs::exists("/tmp/.X" + number + "-lock"));
    EXPECT_FALSE(fs::exists("/tmp/.X11-unix/X" + number));
}

}  // namespace
