#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>
#include <vector>

#include "app/lib/Accelerators.h"
#include "engine/core/Log.h"
#include "engine/sound/SoundManager.h"
#include "platform/sys/Journal.h"
#include "platform/sys/Shell.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontBackdrop.h"
#include "scenes/front/SceneLobby.h"
#include "support/AppHarness.h"
#include "support/RecordingScene.h"
#include "table/ShotRecord.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
#include "tests/scenes/support/LayoutBoxes.h"

namespace {

using namespace platform;

// The replay mode's command line with a record of four-ball, struck softly.
std::vector<WString> ReplayArguments() {
    table::ShotRecord record;
    record.ballCount = 4;
    for (std::size_t i = 0; i < 4; ++i) {
        record.positions[i] = {-60.0f + 40.0f * static_cast<float>(i), 0.0f, 3.075f};
        record.orientations[i] = {0.0f, 0.0f, 0.0f, 1.0f};
    }
    record.shotParams[1] = 0.2f;  // the power
    const std::string hex = table::ShotRecordToHex(record);
    return {u"m", u"replay", u"a", u"b", WString(hex.begin(), hex.end())};
}

bool SceneRunning(App& app, int id) {
    scenes::GameScene* scene = app.Scenes().Current();
    return scene && scene->Id() == id && scene->IsActive();
}

TEST(AppStart, EachModeRegistersItsScenes) {
    struct Case {
        StartMode mode;
        std::vector<int> ids;
        int first;
    } cases[] = {{StartMode::Offline, {11, 2, 1}, 2},
                 {StartMode::Replay, {12}, 12},
                 {StartMode::Normal, {10, 9, 8, 7, 5, 4, 2, 1}, 2}};
    for (const Case& c : cases) {
        AppHarness harness(c.mode, c.mode == StartMode::Replay ? ReplayArguments() : std::vector<WString>{});
        std::vector<int> ids;
        harness.Run([&](App& app) {
            ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, c.first); }));
            ids = app.SceneIds();
        });
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(harness.runResult, 1);
        EXPECT_TRUE(harness.app().UpdateThreadJoined());
    }
}

TEST(AppStart, ReplayRunsWindowedAtDefaultSizeAndNeverWritesConfig) {
    AppHarness harness(StartMode::Replay, ReplayArguments());
    {
        std::ofstream(harness.Folder() / "config.ini")
            << "[Video]\nfullscreen=1\nwidth=1600\nheight=900\nbpp=24\n";
    }
    bool fullscreen = true;
    int width = 0, height = 0;
    harness.Run([&](App& app) {
        AppHarness::WaitFor([&] { return SceneRunning(app, 12); });
        fullscreen = app.IsFullscreen();
        width = app.ClientWidth();
        height = app.ClientHeight();
    });
    EXPECT_FALSE(fullscreen);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    std::ifstream in(harness.Folder() / "config.ini");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[Video]\nfullscreen=1\nwidth=1600\nheight=900\nbpp=24\n");
}

TEST(AppStart, ArgumentFourTwoSetsSessionStartFlag) {
    AppHarness harness(StartMode::Normal, {u"m", u"x", u"id", u"pw", u"2"});
    harness.app().Init();
    ASSERT_TRUE(harness.app().Create());
    EXPECT_EQ(harness.app().Session().StartFlag(), 2);
    harness.app().Shutdown();
}

TEST(AppMessages, FilterFirstThenTheCurrentScene) {
    AppHarness harness(StartMode::Offline);
    RecordingScene* intro = nullptr;
    harness.app().SetSceneFactory([&](int id) {
        auto scene = std::make_unique<RecordingScene>(id);
        if (id == 2) intro = scene.get();
        return scene;
    });
    float voiceVolume = -1;
    bool musicOn = true;
    std::vector<RecordingScene::Received> received;
    harness.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
        app.PostUiMessage(1056, 7, 40, 0);
        app.PostUpdateMessage(1057, 0, 0, 0);
        app.PostUiMessage(5000, 1, 2, 3);
        app.PostUpdateMessage(5001, 4, 5, 6);
        // The window's word that the pointer left goes to the scene as its moves do.
        app.Windows().PostMessage({platform::kWmMouseLeave, 0, 0});
        ASSERT_TRUE(AppHarness::WaitFor([&] { return intro->Messages().size() == 3; }));
        received = intro->Messages();
        voiceVolume = app.Sound()->CategoryVolume(SoundCategory::Voice);
        musicOn = app.Sound()->IsCategoryEnabled(SoundCategory::Music);
    });
    EXPECT_FLOAT_EQ(voiceVolume, 0.4f);
    EXPECT_FALSE(musicOn);
    ASSERT_EQ(received.size(), 3u);
    for (const auto& m : received)
        EXPECT_TRUE(m.code == 5000 || m.code == 5001 || m.code == platform::kWmMouseLeave);
}

TEST(AppMessages, QuitPostedFromTheUpdateThreadEndsTheLoop) {
    AppHarness harness(StartMode::Offline);
    harness.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
        app.PostUpdateMessage(1030, 0, 0, 0);
        EXPECT_TRUE(AppHarness::WaitFor([&] { return !app.IsRunning(); }));
    });
    EXPECT_EQ(harness.runResult, 1);
}

TEST(AppScenes, RequestedChangeRunsLeaveLoadEnterAndTicksOnTheUpdateThread) {
    AppHarness harness(StartMode::Offline);
    std::vector<std::string> trail;
    std::map<int, RecordingScene*> scenes;
    harness.app().SetSceneFactory([&](int id) {
        auto scene = std::make_unique<RecordingScene>(id, &trail, true);
        scenes[id] = scene.get();
        return scene;
    });
    harness.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
        ASSERT_TRUE(AppHarness::WaitFor([&] { return scenes.at(2)->Updates() > 20; }));
        scenes.at(2)->RequestScene(11);
        ASSERT_TRUE(
            AppHarness::WaitFor([&] { return SceneRunning(app, 11) && scenes.at(11)->Updates() > 5; }));
        scenes.at(11)->RequestScene(4);  // no lobby offline: refused
        AppHarness::WaitFor([&] { return !scenes.at(11)->ChangeRequested(); });
        EXPECT_TRUE(SceneRunning(app, 11));
    });
    std::erase_if(trail, [](const std::string& line) { return line.find("Resize") != std::string::npos; });
    const std::vector<std::string> expected{"2 Load3D", "2 Enter", "2 Leave", "11 Load3D", "11 Enter"};
    EXPECT_EQ(trail, expected);
}

std::string ReadConfig(const AppHarness& harness) {
    std::ifstream in(harness.Folder() / "config.ini");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(AppWindowTest, AltEnterTogglesFullscreenAndBackAndKeepsTheChoiceForTheNextStart) {
    AppHarness harness(StartMode::Offline);
    { std::ofstream(harness.Folder() / "config.ini") << "[Video]\nfullscreen=0\n"; }
    std::vector<bool> states;
    std::vector<bool> stored;
    harness.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
        for (int i = 0; i < 2; ++i) {
            app.Windows().PostMessage(
                {kWmSysKeyDown, kVkReturn, static_cast<std::intptr_t>(kKeyAltDown | 1)});
            const bool want = i == 0;
            ASSERT_TRUE(AppHarness::WaitFor([&] {
                return harness.Window()->IsFullscreen() == want && app.IsRenderingActive() &&
                       app.PendingChanges() == 0;
            }));
            states.push_back(harness.Window()->IsFullscreen());
            stored.push_back(ReadConfig(harness).find("fullscreen= 1") != std::string::npos);
        }
    });
    EXPECT_EQ(states, (std::vector<bool>{true, false}));
    EXPECT_EQ(stored, (std::vector<bool>{true, false}));
}

// A desktop larger than the screens made for 1024 x 768: full screen without a stored size draws
// at that size (scaled up by the window), as every later start does with the size it stored. Alt+Enter
// gives a window in the middle of the desktop.
TEST(AppWindowTest, FirstFullScreenStartDrawsAtTheSizeLaterStartsUse) {
    ::setenv("MARVENLOT_DESKTOP", "1920x1080x32@60", 1);
    std::vector<int> sizes;
    platform::Rect window;
    for (int start = 0; start < 2; ++start) {
        AppHarness harness(StartMode::Offline);
        if (start == 1) {
            std::ofstream(harness.Folder() / "config.ini")
                << "[Video]\nfullscreen= 1\nwidth= 1024\nheight= 768\n";
        }
        harness.Run([&](App& app) {
            ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
            const platform::Rect client = app.MainWindow()->GetClientRect();
            sizes.insert(sizes.end(),
                         {app.ClientWidth(), app.ClientHeight(), client.Width(), client.Height()});
            if (start == 1) return;
            app.Windows().PostMessage(
                {kWmSysKeyDown, kVkReturn, static_cast<std::intptr_t>(kKeyAltDown | 1)});
            ASSERT_TRUE(AppHarness::WaitFor([&] { return !harness.Window()->IsFullscreen(); }));
            window = app.MainWindow()->GetWindowRect();
        });
        EXPECT_NE(ReadConfig(harness).find("width= 1024"), std::string::npos) << ReadConfig(harness);
    }
    ::unsetenv("MARVENLOT_DESKTOP");
    EXPECT_EQ(sizes, (std::vector<int>{1024, 768, 1024, 768, 1024, 768, 1024, 768}));
    EXPECT_EQ(std::vector({window.left, window.top, window.right, window.bottom}),
              std::vector({448, 156, 1472, 924}));
}

TEST(AppWindowTest, ScreenshotWrittenToDesktopAndOnlyThenReported) {
    AppHarness harness(StartMode::Offline);
    WString statusAfterSave;
    harness.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
        app.Windows().PostMessage({kWmSysKeyDown, kVkF10, 1});
        ASSERT_TRUE(
            AppHarness::WaitFor([&] { return !std::filesystem::is_empty(harness.Folder() / "desktop"); }));
    });
    statusAfterSave = harness.app().StatusText();
    ASSERT_FALSE(std::filesystem::is_empty(harness.Folder() / "desktop"));
    const auto entry = *std::filesystem::directory_iterator(harness.Folder() / "desktop");
    EXPECT_EQ(entry.path().filename().string().rfind("Marvenlot-", 0), 0u);
    EXPECT_EQ(entry.path().extension(), ".jpg");
    EXPECT_NE(statusAfterSave.find(u"The screenshot has been saved to your desktop."), WString::npos);

    {  // Without a desktop folder the file lies in the home folder, and the notice says so.
        AppHarness homeOnly(StartMode::Offline);
        const std::filesystem::path home = homeOnly.Folder() / "home";
        std::filesystem::create_directories(home);
        testsupport::ScopedEnv homeEnv("HOME", home.c_str()), desktop("MARVENLOT_DESKTOP_DIR", home.c_str());
        homeOnly.Run([&](App& app) {
            ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
            app.Windows().PostMessage({kWmSysKeyDown, kVkF10, 1});
            ASSERT_TRUE(AppHarness::WaitFor([&] { return !std::filesystem::is_empty(home); }));
        });
        EXPECT_EQ(homeOnly.app().StatusText().find(u"The screenshot has been saved to your home folder. ("),
                  0u)
            << ToUtf8(homeOnly.app().StatusText());
    }

    AppHarness failing(StartMode::Offline);
    ::setenv("MARVENLOT_DESKTOP_DIR", (failing.Folder() / "no" / "such").c_str(), 1);
    failing.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
        app.Windows().PostMessage({kWmKeyDown, kVkF12, 1});
        AppHarness::WaitFor([&] { return app.Windows().Queue().Size() == 0; });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    });
    EXPECT_TRUE(failing.app().StatusText().empty());
}

// A page no browser could show is told to the player over the current scene, and logged with why.
TEST(AppWindowTest, APageNoBrowserCouldShowIsToldAndLogged) {
    AppHarness harness(StartMode::Offline);
    testsupport::ScopedEnv headless("MARVENLOT_HEADLESS", nullptr), path("PATH", "/nonexistent");
    std::string box, logged;  // written on the main thread, read after the run
    std::atomic<bool> told{false};
    const std::uint64_t observer = platform::Journal::Subscribe([&](std::uint64_t, std::string_view line) {
        if (!line.starts_with("BOX")) return;
        box = line;
        told = true;
    });
    GetLog().SetObserver([&](const std::string& line) { logged += line; });
    harness.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
        EXPECT_FALSE(platform::ShellOpen("http://127.0.0.1/home"));
        ASSERT_TRUE(AppHarness::WaitFor([&] { return told.load(); }));
    });
    platform::Journal::Unsubscribe(observer);
    GetLog().SetObserver(nullptr);
    EXPECT_EQ(box, "BOX Notice|The page could not be opened.|No web browser was found to show it.");
    EXPECT_NE(logged.find("ERROR : http://127.0.0.1/home could not be opened: xdg-open is not installed"),
              std::string::npos)
        << logged;
}

// The notice lay over the lobby's room list and buttons; it keeps to the strip along the bottom edge.
TEST(AppWindowTest, TheScreenshotNoticeCoversNothingOfTheLobby) {
    scenes::SceneLobby lobby;
    for (const auto& size : {std::pair{1024, 768}, std::pair{1920, 1080}}) {
        const int width = size.first, height = size.second;
        lobby.SetSize(width, height);
        lobby.LayoutChildren(width, height);
        const platform::Rect r = App::StatusTextRect(width, height, 560);  // the home folder's notice
        const layout_test::Box notice{"notice", r.left, r.top, r.right, r.bottom};
        EXPECT_TRUE(layout_test::Inside(notice, {"client", 0, 0, width, height})) << width;
        layout_test::ForEachShown(lobby, [&](const gui::Widget& w) {
            // The felt lies under everything, and a bare panel only groups what lies on it.
            if (dynamic_cast<const scenes::FrontBackdrop*>(&w)) return;
            if (dynamic_cast<const gui::Panel*>(&w) && w.Image().set < 0) return;
            EXPECT_FALSE(layout_test::Overlap(layout_test::ScreenBox("control", w), notice))
                << "the notice covers control " << w.Id() << " on " << width << " x " << height;
        });
    }
}

TEST(AppWindowTest, EdgeSizingIsSignedAndClamped) {
    int w = 0, h = 0;
    App::SizingResult(17, 1100, 800, 1095, 795, 1200, 900, 1920, 1080, w, h);
    EXPECT_EQ(w, 1205);
    EXPECT_EQ(h, 905);
    App::SizingResult(17, 1024, 768, 1019, 763, -300, -200, 1920, 1080, w, h);  // dragged past the start
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    App::SizingResult(11, 1024, 768, 1019, 100, 40000, 100, 1920, 1080, w, h);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 768);
    App::SizingResult(15, 1024, 768, 10, 763, 10, 5000, 1920, 1080, w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 1080);
}

TEST(AppWindowTest, ScreenshotNameAndAccelerators) {
    EXPECT_EQ(App::ScreenshotFileName(2009, 4, 28, 7, 5, 9), u"Marvenlot-090428-070509.jpg");
    std::uint32_t command = 0;
    EXPECT_TRUE(TranslateAccelerator({kWmSysKeyDown, kVkReturn, kKeyAltDown}, command));
    EXPECT_EQ(command, 32771u);
    EXPECT_TRUE(TranslateAccelerator({kWmSysKeyDown, kVkF4, kKeyAltDown}, command));
    EXPECT_EQ(command, 32773u);
    EXPECT_TRUE(TranslateAccelerator({kWmKeyDown, kVkF12, 0}, command));
    EXPECT_EQ(command, 32791u);
    EXPECT_TRUE(TranslateAccelerator({kWmSysKeyDown, '2', kKeyAltDown}, command));
    EXPECT_EQ(command, 32787u);
    EXPECT_TRUE(TranslateAccelerator({kWmSysChar, 0x60, kKeyAltDown}, command));
    EXPECT_EQ(command, 32789u);
    EXPECT_FALSE(TranslateAccelerator({kWmKeyDown, kVkReturn, 0}, command));
    EXPECT_FALSE(TranslateAccelerator({kWmKeyDown, '2', 0}, command));
}

// The grip sizes a window up to the desktop, and so does a size chosen in the options dialog. The
// desktop's own resize sizes the client as well; its maximise turns full screen on as Alt+Enter
// does, and the way back (Alt+Enter, the options dialog) gives the window as it was before the
// maximise, also when the reports of resizes, of the maximise and of the full-screen window come
// together before a render step.
TEST(AppWindowTest, GripSizesWindowedClientUpToTheDesktop) {
    ::setenv("MARVENLOT_DESKTOP", "1920x1080x32@60", 1);
    AppHarness harness(StartMode::Offline);
    { std::ofstream(harness.Folder() / "config.ini") << "[Video]\nfullscreen=0\n"; }
    // Steps taken on the main thread, one before each message it takes: a step that posts a message
    // lets the next one come before the render step.
    using Step = std::function<void(App&)>;
    std::mutex mutex;
    std::deque<Step> steps;
    harness.app().SetPumpHook([&] {
        Step step;
        {
            std::lock_guard lock(mutex);
            if (steps.empty()) return;
            step = std::move(steps.front());
            steps.pop_front();
        }
        step(harness.app());
    });
    const auto onMainThread = [&](const std::vector<Step>& list) {
        std::lock_guard lock(mutex);
        steps.insert(steps.end(), list.begin(), list.end());
    };
    // The window manager's resize or maximise as the sdl window reports it: a move only when the
    // corner moved, and none of a maximised window.
    const auto desktopSizes = [&](Rect bounds, std::uintptr_t kind) {
        return [&harness, bounds, kind](App& app) {
            const Rect was = harness.Window()->GetWindowRect();
            harness.Window()->SetBounds(bounds, false);
            app.Windows().Queue().Post({kWmSize, kind, MakeLParam(bounds.Width(), bounds.Height())});
            if (kind != kSizeMaximized && (was.left != bounds.left || was.top != bounds.top))
                app.Windows().Queue().Post({kWmWindowPosChanged, 0, 0});
        };
    };
    const auto corners = [](const Rect& r) { return std::array{r.left, r.top, r.right, r.bottom}; };
    harness.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] { return SceneRunning(app, 2); }));
        app.Windows().PostMessage({kWmLButtonDown, kMkLButton, MakeLParam(1020, 764)});
        app.Windows().PostMessage({kWmMouseMove, kMkLButton, MakeLParam(1120, 864)});
        app.Windows().PostMessage({kWmLButtonUp, 0, MakeLParam(1120, 864)});
        ASSERT_TRUE(
            AppHarness::WaitFor([&] { return app.ClientWidth() == 1124 && app.IsRenderingActive(); }));
        EXPECT_EQ(app.ClientHeight(), 868);
        const auto settled = [&](bool fullscreen, int width, int height) {
            return AppHarness::WaitFor([&] {
                std::lock_guard lock(mutex);
                return steps.empty() && harness.Window()->IsFullscreen() == fullscreen &&
                       app.ClientWidth() == width && app.ClientHeight() == height &&
                       app.IsRenderingActive() && app.PendingChanges() == 0;
            });
        };
        const Rect first{300, 120, 1600, 1000}, resized{300, 120, 1700, 1020};
        onMainThread({desktopSizes(first, kSizeRestored)});
        ASSERT_TRUE(settled(false, 1300, 880));
        // The first maximise comes right after a resize, both read in one go (the window is maximised
        // by then), and Alt+Enter leads back, with the full-screen window's own reports in its batch.
        // The second comes after a resize and its undoing, read before the client took the first, and
        // the options dialog leads back.
        const Step maximise = desktopSizes({0, 0, 1920, 1080}, kSizeMaximized);
        const std::pair<std::vector<Step>, Step> rounds[] = {
            {{[&](App& app) {
                 desktopSizes(resized, kSizeRestored)(app);
                 maximise(app);
             }},
             [](App& app) {
                 app.Windows().Queue().Post(
                     {kWmSysKeyDown, kVkReturn, static_cast<std::intptr_t>(kKeyAltDown | 1)});
                 app.Windows().Queue().Post({kWmSize, kSizeMaximized, MakeLParam(1920, 1080)});
                 app.Windows().Queue().Post({kWmSize, kSizeRestored, MakeLParam(1920, 1080)});
                 app.Windows().Queue().Post({kWmWindowPosChanged, 0, 0});
             }},
            {{desktopSizes({300, 120, 1800, 1060}, kSizeRestored), desktopSizes(resized, kSizeRestored),
              maximise},
             [](App& app) { app.RequestVideoSettings({}, scenes::video_change::kDisplayMode); }}};
        int round = 0;
        for (const auto& [there, back] : rounds) {
            SCOPED_TRACE(testing::Message() << "round " << ++round);
            onMainThread(there);
            ASSERT_TRUE(settled(true, 1024, 768));
            EXPECT_NE(ReadConfig(harness).find("fullscreen= 1"), std::string::npos);
            onMainThread({back});
            ASSERT_TRUE(settled(false, 1400, 900));
            EXPECT_EQ(corners(harness.Window()->GetWindowRect()), corners(resized));
        }
        for (const auto& choice : {std::pair{1920u << 16 | 1080u, 1920}, std::pair{1024u << 16 | 768u, 1024},
                                   std::pair{4000u << 16 | 3000u, 1920}}) {
            const unsigned asked = choice.first;
            const int shown = choice.second;
            // width << 16 | height, asked on the main thread as the dialog asks
            onMainThread({[asked](App& app) {
                app.RequestVideoSettings({.windowWidth = asked >> 16, .windowHeight = asked & 0xFFFF},
                                         scenes::video_change::kDisplayMode);
            }});
            ASSERT_TRUE(AppHarness::WaitFor([&] {
                std::lock_guard lock(mutex);
                return steps.empty() && app.ClientWidth() == shown && app.IsRenderingActive() &&
                       app.PendingChanges() == 0;
            })) << (asked >> 16);
            const Rect window = app.MainWindow()->GetWindowRect();
            EXPECT_TRUE(window.left >= 0 && window.top >= 0 && window.right <= 1920 && window.bottom <= 1080)
                << "the window left the desktop at " << (asked >> 16);
        }
    });
    ::unsetenv("MARVENLOT_DESKTOP");
}

TEST(AppShutdown, FailedStartStillEndsTheUpdateThreadAtOnce) {
    AppHarness harness(StartMode::Offline);
    std::filesystem::remove(harness.Folder() / "data");  // no packages: the UI tree cannot open
    const auto start = std::chrono::steady_clock::now();
    harness.Run([](App&) {});
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(harness.runResult, 0);
    EXPECT_TRUE(harness.app().UpdateThreadJoined());
    EXPECT_LT(elapsed, testsupport::Patient(std::chrono::milliseconds(1500)));
}

}  // namespace
