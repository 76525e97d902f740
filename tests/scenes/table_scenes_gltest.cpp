// What a person sees of the offline table and the replay viewer, drawn through OpenGL on the
// generated packages and compared with reference images (UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include <deque>

#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Overlays.h"
#include "net/GameSession.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/offline/SceneAlone.h"
#include "scenes/room/replay/SceneReplay.h"
#include "tests/common/GlScreen.h"
#include "tests/common/ImageCompare.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

// The application's side for one scene at a time: a GL device, the generated packages, the engine
// scenes, a session for the own record, and the UI message queue delivered by Pump.
struct GlHost : scenes::SceneHost {
    testsupport::GlScreen screen{kWidth, kHeight};
    ResourceManager resources;
    std::unique_ptr<SceneManager> engineScenes;
    net::GameSession session;
    std::vector<WString> args;
    std::deque<std::pair<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>>> queue;

    bool Open() {
        resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources.SetDataFolder(u"data");
        engineScenes = std::make_unique<SceneManager>(screen.Device());
        engineScenes->SetAspect(static_cast<float>(kHeight) / kWidth);
        return screen.OpenUiSets();
    }
    int ClientWidth() const override { return kWidth; }
    int ClientHeight() const override { return kHeight; }
    void PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t) override {
        queue.push_back({code, {a, b}});
    }
    void PostQuit() override {}
    void ShowLoadingError(int) override {}
    void SendByteMessage(std::uint16_t, std::uint8_t) override {}
    ResourceManager* Resources() override { return &resources; }
    RenderDevice* Renderer() override { return &screen.Device(); }
    SceneManager* EngineScenes() override { return engineScenes.get(); }
    net::GameSession* CurrentSession() override { return &session; }
    WString CommandLineArgument(std::size_t index) const override {
        return index < args.size() ? args[index] : WString{};
    }

    bool Enter(scenes::GameScene& scene) {
        scene.SetHost(this);
        if (scene.Load3D(&resources, &screen.Device()) != 0) return false;
        scene.Activate(engineScenes.get());
        scene.LayoutChildren(kWidth, kHeight);
        return true;
    }
    // Update ticks with the UI messages delivered after each, as the shell does.
    void Pump(scenes::GameScene& scene, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            scene.Update(0, 0);
            while (!queue.empty()) {
                const auto m = queue.front();
                queue.pop_front();
                scene.OnMessage(m.first, m.second.first, static_cast<std::intptr_t>(m.second.second));
            }
        }
        scene.TickTree(0);
    }
    platform::Image Frame(scenes::GameScene& scene) {
        RenderDevice& device = screen.Device();
        platform::Image frame;
        if (!device.BeginFrame()) return frame;
        device.BeginScene();
        scene.Render(&device, true);
        gui::DrawWidgetScreen(scene, &device);
        device.EndScene();
        device.Present();
        device.ReadBack(frame);
        return frame;
    }
};

void ExpectMatchesReference(const platform::Image& frame, const std::string& name) {
    platform::SavePng(testsupport::TestOutputDir() + "/" + name + ".png", frame);
    const std::string path = std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/reference/" + name + ".png";
    if (std::getenv("UPDATE_GOLDEN")) {
        ASSERT_TRUE(platform::SavePng(path, frame));
    }
    platform::Image reference;
    ASSERT_TRUE(platform::LoadPng(path, reference)) << "missing " << path;
    ASSERT_EQ(reference.width, frame.width);
    ASSERT_EQ(reference.height, frame.height);
    EXPECT_LE(testsupport::DifferingShare(frame, reference, 3), 0.005) << name;
}

double Share(const platform::Image& image, bool (*match)(int r, int g, int b)) {
    std::size_t n = 0, total = std::size_t{image.width} * image.height;
    for (std::size_t i = 0; i < total; ++i)
        n += match(image.rgba[i * 4], image.rgba[i * 4 + 1], image.rgba[i * 4 + 2]);
    return static_cast<double>(n) / static_cast<double>(total);
}

}  // namespace

TEST(TableScenesGl, OfflineTableShowsRackGaugeAndStripAndItsShotReplaysMidShotInTheViewer) {
    GlHost host;
    if (!host.screen.Open()) GTEST_SKIP() << "no GL context: " << host.screen.Error();
    ASSERT_TRUE(host.Open());
    std::string record;
    {
        scenes::SceneAlone offline;
        ASSERT_TRUE(host.Enter(offline));
        host.Pump(offline, 300);
        const platform::Image frame = host.Frame(offline);
        EXPECT_GT(Share(frame, [](int r, int g, int b) { return g > 80 && r < 60 && b < 90; }), 0.12)
            << "the green cloth of the 8-ball table";
        EXPECT_TRUE(offline.Gauge()->IsShownOnScreen());
        EXPECT_TRUE(offline.ItemStrip()->IsShownOnScreen());
        EXPECT_GE(offline.ItemStrip()->QualifyingCount(), 2) << "the offline chalks and the effect item";
        ExpectMatchesReference(frame, "offline_table");

        // Aim a little to the side, draw back and let go, as a player does with the mouse.
        for (auto [message, x, y] : {std::tuple{platform::kWmMouseMove, 400, 250},
                                     {platform::kWmMouseMove, 404, 250},
                                     {platform::kWmLButtonDown, 404, 250},
                                     {platform::kWmMouseMove, 404, 330},
                                     {platform::kWmLButtonUp, 404, 330}})
            offline.OnMessage(message, 0, platform::MakeLParam(x, y));
        ASSERT_TRUE(offline.World()->ShotExecuting());
        for (int i = 0; i < 100 && offline.World()->ShotExecuting(); ++i) host.Pump(offline, 200);
        record = table::ShotRecordToHex(offline.World()->MakeShotRecord());
        offline.Leave(&host.resources, host.engineScenes.get());
    }
    host.args = {u"marvenlot", u"replay", u"a", u"b", WString(record.begin(), record.end())};
    scenes::SceneReplay replay;
    ASSERT_TRUE(host.Enter(replay));
    // The viewer starts from above; the side view shows the balls on their way.
    gui::CommandEvent side;
    side.id = scenes::SceneReplay::kSideViewId;
    EXPECT_TRUE(replay.OnCommand(side));
    host.Pump(replay, 160);
    ASSERT_TRUE(replay.ShotRunning());
    const platform::Image frame = host.Frame(replay);
    EXPECT_GT(Share(frame, [](int r, int g, int b) { return g > 80 && r < 60 && b < 90; }), 0.10)
        << "the table";
    ExpectMatchesReference(frame, "replay_mid_shot");
    replay.Leave(&host.resources, host.engineScenes.get());
    gui::ClearGuiPointers();
}
