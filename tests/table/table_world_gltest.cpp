#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "engine/core/Options.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "platform/window/WindowCodes.h"
#include "table/TableWorld.h"
#include "tests/common/GlTestSupport.h"

// Mesa keeps its allocations for the life of the process (see the engine's GL tests).
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr std::uint16_t kWidth = 480, kHeight = 360;

std::string OutputPath(const std::string& name) {
    std::string dir = std::string(MARVENLOT_BINARY_DIR) + "/test-output";
    std::filesystem::create_directories(dir);
    return dir + "/" + name + ".png";
}

// A world on the generated packages in the practice map's scene, drawn as a 3D scene draws it.
struct WorldScene {
    gl_test::GlDevice gl{kWidth, kHeight};
    ResourceManager resources;
    std::unique_ptr<SceneManager> scenes;
    table::TableWorld world;
    std::uint32_t tick = 0;

    bool Open(int gameType) {
        if (!gl.device) return false;
        resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources.SetDataFolder(u"data");
        ResourcePackage* data = resources.OpenPackage(u"data");
        ResourceGroup* map = data ? data->FindGroup(u"Map0000") : nullptr;
        if (!map) return false;
        scenes = std::make_unique<SceneManager>(*gl.device);
        scenes->SetAspect(static_cast<float>(kHeight) / kWidth);
        Scene* scene = scenes->AddSceneFromInfo(map->GetSceneInfoManager().All().front()->data, *map);
        scenes->SetCurrentScene(0);
        world.SetGameType(gameType);
        world.SetGameItems(0, 0);
        world.SetPhysicsModel(0x10014, false);
        world.StartNewRack(5);
        world.SetPlayState(table::PlayState::FreePractice);
        world.LayoutHud(kWidth, kHeight);
        if (world.LoadModels(*gl.device, resources) != 0) return false;
        world.AttachToScene(*scene);
        // The camera settles behind the cue ball; the player zooms in with the wheel.
        world.Update(++tick, 0, 0, false);
        world.HandleWindowMessage(platform::kWmMouseWheel, std::uintptr_t{8 * platform::kWheelDelta} << 16,
                                  0);
        for (int i = 0; i < 400; ++i) world.Update(++tick, 0, 0, false);
        return true;
    }
    platform::Image Frame() {
        RenderDevice& device = *gl.device;
        world.ProcessViewEvents();
        device.SetClearColor(scenes->GetCurrentScene()->clearColor);
        device.BeginFrame();
        device.BeginScene();
        scenes->RenderCurrentScene();
        world.RenderBalls(device);
        world.Render(device);
        world.DrawHud(device);
        device.EndScene();
        device.Present();
        platform::Image frame;
        device.ReadBack(frame);
        return frame;
    }
    void Send(std::uint32_t message, int x, int y) {
        world.HandleWindowMessage(message, 0, platform::MakeLParam(x, y));
    }
};

// Compares with tests/table/reference/<name>.png (UPDATE_GOLDEN=1 rewrites it).
void ExpectMatchesReference(const platform::Image& frame, const std::string& name) {
    platform::SavePng(OutputPath(name), frame);
    const std::string path = std::string(MARVENLOT_SOURCE_DIR) + "/tests/table/reference/" + name + ".png";
    if (std::getenv("UPDATE_GOLDEN")) {
        ASSERT_TRUE(platform::SavePng(path, frame));
    }
    platform::Image reference;
    ASSERT_TRUE(platform::LoadPng(path, reference)) << "missing " << path;
    ASSERT_EQ(reference.width, frame.width);
    ASSERT_EQ(reference.height, frame.height);
    EXPECT_LE(gl_test::DifferingShare(frame, reference, 3), 0.005) << name;
}

// Share of pixels of a colour family, to see that table, balls and cue are on the picture.
double Share(const platform::Image& image, bool (*match)(int r, int g, int b)) {
    std::size_t n = 0, total = std::size_t{image.width} * image.height;
    for (std::size_t i = 0; i < total; ++i)
        n += match(image.rgba[i * 4], image.rgba[i * 4 + 1], image.rgba[i * 4 + 2]);
    return static_cast<double>(n) / static_cast<double>(total);
}

}  // namespace

TEST(TableWorldGl, CaromAndEightBallTablesShowTableBallsAndCueAndAScriptedStrikeMovesTheBalls) {
    {
        WorldScene carom;
        if (!carom.gl.device) GTEST_SKIP() << "no GL context: " << carom.gl.error;
        ASSERT_TRUE(carom.Open(4));
        const platform::Image frame = carom.Frame();
        EXPECT_GT(Share(frame, [](int r, int g, int b) { return b > 120 && r < 90 && g < 140; }), 0.15)
            << "blue cloth";
        EXPECT_GT(Share(frame, [](int r, int g, int b) { return r > 180 && g > 140 && b < 90; }), 0.0002)
            << "yellow ball";
        EXPECT_GT(Share(frame, [](int r, int g, int b) { return r > 200 && g > 200 && b > 200; }), 0.0005)
            << "white cue ball and cue";
        ExpectMatchesReference(frame, "table_world_carom");
    }
    WorldScene pool;
    ASSERT_TRUE(pool.Open(10));
    const platform::Image before = pool.Frame();
    EXPECT_GT(Share(before, [](int r, int g, int b) { return g > 80 && r < 60 && b < 90; }), 0.15)
        << "green cloth";
    ExpectMatchesReference(before, "table_world_eightball");

    // Aim a little to the side, draw back and release, as a player does with the mouse.
    pool.Send(platform::kWmMouseMove, 160, 60);
    pool.Send(platform::kWmMouseMove, 158, 60);
    pool.Send(platform::kWmLButtonDown, 158, 60);
    pool.Send(platform::kWmMouseMove, 158, 220);
    pool.Send(platform::kWmLButtonUp, 158, 220);
    ASSERT_TRUE(pool.world.ShotExecuting());
    for (int i = 0; i < 100000 && pool.world.ShotExecuting(); ++i)
        pool.world.Update(++pool.tick, 0, 0, false);
    for (int i = 0; i < 400; ++i) pool.world.Update(++pool.tick, 0, 0, false);
    const platform::Image after = pool.Frame();
    platform::SavePng(OutputPath("table_world_eightball_after"), after);
    EXPECT_GT(gl_test::DifferingShare(before, after, 10), 0.01) << "the balls moved";
}

namespace {

// Along one picture row, the runs of pixels that differ from the cloth (sampled at `clothX`).
std::vector<std::pair<int, int>> RunsOffTheCloth(const platform::Image& image, int row, int from, int to,
                                                 int clothX) {
    auto pixel = [&](int x, int c) { return int(image.rgba[(std::size_t(row) * image.width + x) * 4 + c]); };
    auto offCloth = [&](int x) {
        int d = 0;
        for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(pixel(x, c) - pixel(clothX, c)));
        return d > 40;
    };
    std::vector<std::pair<int, int>> runs;
    for (int x = from; x <= to; ++x) {
        if (!offCloth(x)) continue;
        if (!runs.empty() && runs.back().second >= x - 1)
            runs.back().second = x;
        else
            runs.push_back({x, x});
    }
    return runs;
}

}  // namespace

TEST(TableWorldGl, TwoTouchingBallsOfEveryBallSetAreDrawnTouchingAtTheRadiusThePhysicsUses) {
    for (int gameType : {4, 10, 16}) {
        WorldScene w;
        if (!w.gl.device) GTEST_SKIP() << "no GL context: " << w.gl.error;
        ASSERT_TRUE(w.Open(gameType));
        Options options;
        options.tableEffect = 0;  // no shadows around the balls
        w.world.ApplyOptions(options);
        w.world.aimDisplay = false;
        w.world.HandleWindowMessage(platform::kWmKeyDown, platform::kVkTab, 0);
        for (int i = 0; i < 200; ++i) w.world.Update(++w.tick, 0, 0, false);
        w.world.HandleWindowMessage(platform::kWmMouseWheel, std::uintptr_t{15 * platform::kWheelDelta} << 16,
                                    0);

        // Balls 1 and 2 side by side near the middle, their centres one diameter apart.
        const float r = w.world.Rules().GetBall(1).radiusCm.Value();
        const float y = 10.0f;
        auto place = [&](int ball, float x) {
            const float p[3] = {x, y, r};
            std::uint32_t bits[3];
            std::memcpy(bits, p, sizeof bits);
            return w.world.PlaceBall(ball, bits[0], bits[1], bits[2]);
        };
        ASSERT_TRUE(place(1, -r));
        ASSERT_TRUE(place(2, r)) << "touching is no overlap";
        const platform::Image frame = w.Frame();
        platform::SavePng(OutputPath("touching_balls_" + std::to_string(gameType)), frame);

        float ax, ay, bx, by;
        ASSERT_TRUE(w.world.TableToScreen({-r, y, r}, ax, ay));
        ASSERT_TRUE(w.world.TableToScreen({r, y, r}, bx, by));
        const float apart = bx - ax;  // the centres' distance on the screen: one diameter
        ASSERT_GT(std::fabs(apart), 20.0f) << "zoomed in far enough to measure";
        const int row = static_cast<int>(std::lround((ay + by) / 2));
        const int left = static_cast<int>(std::min(ax, bx) - 1.5f * std::fabs(apart));
        const int right = static_cast<int>(std::max(ax, bx) + 1.5f * std::fabs(apart));
        ASSERT_GE(left, 0);
        ASSERT_LT(right, kWidth);
        const auto runs = RunsOffTheCloth(frame, row, left + 2, right - 2, left);
        ASSERT_EQ(runs.size(), 1u) << gameType << ": the two balls meet, no cloth between them";
        // Each ball is as wide as the centres are apart, so the pair spans two diameters.
        const float span = static_cast<float>(runs[0].second - runs[0].first + 1);
        EXPECT_NEAR(span, 2 * std::fabs(apart), 0.06f * std::fabs(apart)) << gameType;
        EXPECT_NEAR((runs[0].first + runs[0].second) / 2.0f, (ax + bx) / 2, 2.0f) << gameType;
    }
}
