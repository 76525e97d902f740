#include "platform/Drivers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/common/TempDir.h"

namespace {

using platform::DriverKind;
using testsupport::ScopedEnv;

struct DriverCase {
    const char* what;
    DriverKind kind;
    const char* chosen;  // MARVENLOT_VIDEO or MARVENLOT_AUDIO; nullptr unset
    const char* display;
    const char* wayland;
    std::vector<std::string_view> names;
    bool forced;
};

TEST(Drivers, PlanFollowsTheEnvironmentAndNeverFallsBackToNoWindowUnlessNullVideoIsNamed) {
    const DriverCase cases[] = {
        {"no display", DriverKind::Video, nullptr, nullptr, nullptr, {"sdl"}, false},
        {"x11 display", DriverKind::Video, nullptr, ":0", nullptr, {"sdl"}, false},
        {"wayland display", DriverKind::Video, nullptr, nullptr, "wayland-0", {"sdl"}, false},
        {"forced null beats a display", DriverKind::Video, "null", ":0", nullptr, {"null"}, true},
        {"forced sdl without display", DriverKind::Video, "sdl", nullptr, nullptr, {"sdl"}, true},
        {"unknown video name chooses as usual",
         DriverKind::Video,
         "vulkan",
         nullptr,
         nullptr,
         {"sdl"},
         false},
        {"audio default", DriverKind::Audio, nullptr, nullptr, nullptr, {"openal", "null"}, false},
        {"forced openal still falls back",
         DriverKind::Audio,
         "openal",
         nullptr,
         nullptr,
         {"openal", "null"},
         true},
        {"forced null audio", DriverKind::Audio, "null", nullptr, nullptr, {"null"}, true},
        {"unknown audio name is silence", DriverKind::Audio, "pulse", nullptr, nullptr, {"null"}, false},
    };
    for (const DriverCase& c : cases) {
        ScopedEnv video("MARVENLOT_VIDEO", c.kind == DriverKind::Video ? c.chosen : nullptr);
        ScopedEnv audio("MARVENLOT_AUDIO", c.kind == DriverKind::Audio ? c.chosen : nullptr);
        ScopedEnv display("DISPLAY", c.display);
        ScopedEnv wayland("WAYLAND_DISPLAY", c.wayland);
        const platform::DriverPlan plan = platform::SelectDriver(c.kind);
        EXPECT_EQ(plan.names, c.names) << c.what;
        EXPECT_EQ(plan.forced, c.forced) << c.what;
    }
}

TEST(Drivers, DisplayIsUnreachableWhenVideoIsForcedNullOrNoServerIsNamed) {
    struct Case {
        const char* video;
        const char* display;
        bool reachable;
    } cases[] = {{nullptr, ":0", true}, {"sdl", ":0", true}, {"null", ":0", false}, {"sdl", nullptr, false}};
    for (const Case& c : cases) {
        ScopedEnv video("MARVENLOT_VIDEO", c.video);
        ScopedEnv display("DISPLAY", c.display);
        ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        EXPECT_EQ(platform::IsDisplayReachable(), c.reachable) << (c.video ? c.video : "-");
    }
}

TEST(Drivers, SdlsFallbackToItsOffscreenDriverCountsAsNoDisplayUnlessSdlWasAskedForIt) {
    struct Case {
        const char* driver;
        const char* requested;  // SDL_VIDEODRIVER
        bool shows;
    } cases[] = {{"x11", "", true},
                 {"offscreen", "", false},
                 {"dummy", "offscreen", false},
                 {"offscreen", "x11,offscreen", true},
                 {"offscreen", "offscreen2", false}};
    for (const Case& c : cases)
        EXPECT_EQ(platform::SdlDriverShowsWindows(c.driver, c.requested), c.shows)
            << c.driver << " " << c.requested;
}

TEST(Drivers, NamedNullDevicesOpenAndTheInjectedCapsResultIsReported) {
    ScopedEnv video("MARVENLOT_VIDEO", "null");
    ScopedEnv audioChoice("MARVENLOT_AUDIO", "null");
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    auto windows = platform::OpenWindowSystem();
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->Backend(), platform::VideoBackend::Null);
    auto audio = platform::OpenAudioDevice();
    ASSERT_TRUE(audio);
    EXPECT_STREQ(audio->BackendName(), "null");

    for (const auto& [injected, expected] :
         std::vector<std::pair<const char*, int>>{{"3", 3}, {nullptr, 0}, {"three", 0}}) {
        ScopedEnv caps("MARVENLOT_DEVICE_CAPS_RESULT", injected);
        auto backend = platform::OpenRenderBackend(*windows, nullptr);
        platform::DeviceCaps deviceCaps{};
        EXPECT_EQ(backend->QueryCaps(deviceCaps), expected) << (injected ? injected : "unset");
    }
}

}  // namespace
