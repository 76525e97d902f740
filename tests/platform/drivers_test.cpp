#include "platform/Drivers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/video/RecordingBackend.h"
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

// A run without a display draws through the recording device for hours: what it keeps must not grow
// with the frames (an idle minute is 12,000 of them), while a test's device keeps every line.
TEST(Drivers, TheNullRenderDeviceKeepsOnlyTheLastFrameSoAnIdleMinuteAddsNothing) {
    ScopedEnv video("MARVENLOT_VIDEO", "null");
    auto windows = platform::OpenWindowSystem();
    ASSERT_TRUE(windows);
    auto backend = platform::OpenRenderBackend(*windows, nullptr);
    auto* recording = dynamic_cast<platform::RecordingBackend*>(backend.get());
    ASSERT_NE(recording, nullptr);
    platform::RecordingBackend testDevice;
    for (platform::RenderBackend* device : {static_cast<platform::RenderBackend*>(recording),
                                            static_cast<platform::RenderBackend*>(&testDevice)}) {
        ASSERT_EQ(device->Init(platform::DisplayMode{}), 0);
        device->CreateTexture(platform::TextureDesc{}, nullptr, 0);
    }
    auto frame = [](platform::RenderBackend& device, int n) {
        device.BeginScene();
        device.Clear(3, 0xFF000000u, 1.0f);
        device.SetRenderState(platform::RState::AlphaRef, static_cast<std::uint32_t>(n % 256));
        device.DrawIndexedPrimitive(0, 0, 4, 0, 2);
        device.EndScene();
        device.Present();
    };
    frame(*recording, 0);
    frame(*recording, 1);
    const std::size_t oneFrame = recording->Log().size();
    EXPECT_EQ(oneFrame, 6u);
    for (int n = 2; n < 12'000; ++n) frame(*recording, n);
    EXPECT_EQ(recording->Log().size(), oneFrame);
    EXPECT_EQ(recording->Log().front(), "BEGINSCENE");
    EXPECT_EQ(recording->Lines("RS AlphaRef"),
              std::vector<std::string>{"RS AlphaRef " + std::to_string(11'999 % 256)});
    EXPECT_EQ(recording->LiveTextures(), 1u) << "the device's objects stay";

    for (int n = 0; n < 3; ++n) frame(testDevice, n);
    EXPECT_EQ(testDevice.Count("PRESENT"), 3);
    EXPECT_EQ(testDevice.Count("TEX+"), 1);
}

}  // namespace
