#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/render/Font.h"
#include "engine/render/SceneBuilder.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "platform/video/GlBackend.h"
#include "platform/video/ImageFile.h"
#include "tests/common/GlTestSupport.h"
#include "tests/engine/support/render_fixture.h"

using namespace render_test;

// Mesa's drivers keep allocations for the life of the process and are unloaded before the leak
// check runs, so their frames cannot even be named; the GL tests leave leak checking to the unit
// tests of the same code.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr std::uint16_t kWidth = 160, kHeight = 120;

std::string ReferencePath() {
    return std::string(MARVENLOT_SOURCE_DIR) + "/tests/engine/data/render_table_reference.png";
}
std::string OutputDir() {
    std::string dir = std::string(MARVENLOT_BINARY_DIR) + "/test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

// The size every test here draws at.
struct GlDevice : gl_test::GlDevice {
    GlDevice() : gl_test::GlDevice(kWidth, kHeight) {}
};
using gl_test::DifferingShare;

}  // namespace

TEST(RenderGl, TableSceneMatchesTheReferenceImageAndTheJpegScreenshotDecodes) {
    GlDevice gl;
    if (!gl.device) GTEST_SKIP() << "no GL context: " << gl.error;
    RenderDevice& device = *gl.device;
    platform::DeviceCaps caps;
    ASSERT_EQ(device.CheckDeviceCaps(caps), 0);
    EXPECT_EQ(caps.bumpEnvMap, 0) << "fixed-function bump mapping is not offered";
    std::vector<platform::ModeRecord> modes;
    device.EnumDisplayModes(modes);
    ASSERT_FALSE(modes.empty());
    for (const auto& mode : modes) EXPECT_TRUE(mode.bpp == 32 || mode.bpp == 16);

    Scene scene(device, "table");
    BuildTableScene(scene, device);
    device.SetClearColor(0xFF202840);
    ASSERT_TRUE(device.BeginFrame());
    ASSERT_TRUE(device.BeginScene());
    RenderStatistics statistics;
    ASSERT_TRUE(scene.Tree().Render(statistics));
    device.Begin2D();
    EXPECT_TRUE(device.FillRect({4, 4, 24, 14}, 0xFFFF0000));
    if (Font* font = device.CreateFont(u"Tahoma", 12, 700, 0)) {
        Rect rect{0, kHeight - 16, kWidth, kHeight};
        EXPECT_TRUE(device.DrawText(font, u"Marvenlot 가나", rect, text_format::kCenter, 0xFFFFFF00));
    }
    device.EndScene();
    device.Present();

    platform::Image frame;
    ASSERT_TRUE(device.ReadBack(frame));
    ASSERT_EQ(frame.width, kWidth);
    ASSERT_EQ(frame.height, kHeight);
    platform::SavePng(OutputDir() + "/render_table.png", frame);

    auto pixel = [&](int x, int y, int c) {
        return frame.rgba[(static_cast<std::size_t>(y) * kWidth + x) * 4 + c];
    };
    EXPECT_EQ(pixel(kWidth - 2, 1, 2), 0x40) << "clear colour in the corner";
    EXPECT_GT(pixel(10, 8, 0), 200) << "the red 2D rectangle";
    EXPECT_LT(pixel(10, 8, 1), 40);

    if (std::getenv("UPDATE_GOLDEN")) {
        ASSERT_TRUE(platform::SavePng(ReferencePath(), frame));
    }
    platform::Image reference;
    ASSERT_TRUE(platform::LoadPng(ReferencePath(), reference)) << "missing " << ReferencePath();
    ASSERT_EQ(reference.width, frame.width);
    EXPECT_LE(DifferingShare(frame, reference, 3), 0.005);

    std::string jpeg = OutputDir() + "/render_table.jpg";
    ASSERT_TRUE(device.SaveScreenshot(jpeg));
    platform::Image decoded;
    ASSERT_TRUE(platform::LoadJpeg(jpeg, decoded));
    ASSERT_EQ(decoded.width, frame.width);
    double meanError = 0;
    DifferingShare(decoded, frame, 255, &meanError);
    EXPECT_LE(meanError, 4.0);
}

TEST(RenderGl, GeneratedTableSceneMatchesItsReferenceImage) {
    GlDevice gl;
    if (!gl.device) {
        GTEST_SKIP() << "no GL context: " << gl.error;
    }
    ResourceManager resources;
    resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
    resources.SetDataFolder(u"data");
    ResourcePackage* data = resources.OpenPackage(u"data");
    ResourcePackage* tablesPackage = resources.OpenPackage(u"Tables");
    ASSERT_TRUE(data && tablesPackage);
    ResourceGroup* map = data->FindGroup(u"Map0002");
    ResourceGroup* tables = tablesPackage->FindGroup(u"Tables");
    ASSERT_TRUE(map && tables);

    SceneManager scenes(*gl.device);
    scenes.SetAspect(static_cast<float>(kHeight) / kWidth);
    Scene* scene = scenes.AddSceneFromInfo(map->GetSceneInfoManager().All().front()->data, *map);
    SceneBuilder builder(*gl.device, *tables);
    scene->AddObject(builder.BuildModel(tables->GetModelManager().FindByName(u"Table2")->id, Matrix4f{}));
    ASSERT_TRUE(scenes.SetCurrentScene(0));

    RenderDevice& device = *gl.device;
    device.SetClearColor(scene->clearColor);
    ASSERT_TRUE(device.BeginFrame());
    ASSERT_TRUE(device.BeginScene());
    ASSERT_TRUE(scenes.RenderCurrentScene());
    device.EndScene();
    device.Present();
    platform::Image frame;
    ASSERT_TRUE(device.ReadBack(frame));
    platform::SavePng(OutputDir() + "/render_generated_table.png", frame);

    std::string path =
        std::string(MARVENLOT_SOURCE_DIR) + "/tests/engine/data/render_generated_table_reference.png";
    if (std::getenv("UPDATE_GOLDEN")) {
        ASSERT_TRUE(platform::SavePng(path, frame));
    }
    platform::Image reference;
    ASSERT_TRUE(platform::LoadPng(path, reference)) << "missing " << path;
    ASSERT_EQ(reference.width, frame.width);
    EXPECT_LE(DifferingShare(frame, reference, 3), 0.005);
}
