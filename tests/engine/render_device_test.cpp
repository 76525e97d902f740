#include <gtest/gtest.h>

#include "engine/render/RenderNodes.h"
#include "tests/engine/support/render_fixture.h"

using namespace render_test;

namespace {

int resets = 0;
void CountReset(void*) {
    ++resets;
}

}  // namespace

TEST(RenderDevice, LostDeviceIsResetByBeginFrameAndTheCacheForgotten) {
    Fixture f;
    f.device->SetAlphaMode(0);
    f.device->SetDeviceResetCallback(CountReset, nullptr);
    resets = 0;
    auto texture = f.MakeTexture();
    ASSERT_TRUE(texture->Restore());
    f.backend->SimulateLost();
    f.backend->ClearLog();
    ASSERT_TRUE(f.device->BeginFrame());
    EXPECT_EQ(resets, 1);
    EXPECT_FALSE(texture->IsRestored()) << "device objects are released before the reset";
    EXPECT_EQ(f.backend->Lines("RESET").size(), 1u);
    EXPECT_EQ(f.backend->Count("CLEAR"), 1);
    f.backend->ClearLog();
    f.device->SetAlphaMode(0);
    EXPECT_EQ(f.backend->Count("RS AlphaBlendEnable 0"), 1) << "the cache starts again after a reset";
}

TEST(RenderDevice, CachedStatesReachTheBackendOnlyWhenTheyChange) {
    Fixture f;
    Matrix4f moved = TranslationMatrix(1, 2, 3);
    f.device->SetTransform(platform::TransformKind::World, &moved);
    f.device->SetTransform(platform::TransformKind::World, &moved);
    f.device->SetTransform(platform::TransformKind::World, nullptr);
    EXPECT_EQ(f.backend->Count("XFORM World"), 2);
    EXPECT_EQ(f.backend->Lines("RS NormalizeNormals"),
              (std::vector<std::string>{"RS NormalizeNormals 1", "RS NormalizeNormals 0"}));
    f.device->SetAlphaMode(1);
    f.device->SetAlphaMode(1);
    EXPECT_EQ(f.backend->Lines("RS AlphaBlendEnable"), std::vector<std::string>{"RS AlphaBlendEnable 1"});
    EXPECT_FALSE(f.device->SetAlphaMode(2)) << "only modes 0 and 1 exist";
}

TEST(RenderDevice, LightsStopAtTheLimitAndOnlyTheWantedKindsSwitchOn) {
    Fixture f;
    platform::LightRecord light;
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(f.device->AddDirectionalLight(light));
    EXPECT_FALSE(f.device->AddPointLight(light)) << "the ninth light is refused";
    f.device->DisableAllLights();
    f.device->AddDirectionalLight(light);
    f.device->AddPointLight(light);
    f.backend->ClearLog();
    EXPECT_TRUE(f.device->EnableLights(false, true, true));
    EXPECT_EQ(f.backend->Lines("LIGHTENABLE"), std::vector<std::string>{"LIGHTENABLE 1 1"});
    f.device->DisableAllLights();
    EXPECT_EQ(f.backend->Lines("LIGHTENABLE").back(), "LIGHTENABLE 1 0");
}

TEST(RenderDevice, StageMaskLosesWhatTheDeviceCannotDo) {
    Fixture f;
    std::uint32_t all = 0xFF;
    EXPECT_EQ(f.device->ReduceStageMask(all), all & ~(32u | 4u | 64u)) << "no bump pair: 32, 4 and 64 go";
    EXPECT_EQ(f.device->ReduceStageMask(4 | 64), 4u | 64u) << "without 32, 4 and 64 stay";
    f.backend->Caps().slot1 = 0;
    f.backend->Caps().slot5 = 0;
    platform::DeviceCaps caps;
    f.device->CheckDeviceCaps(caps);
    EXPECT_EQ(f.device->ReduceStageMask(1 | 16 | 8), 1u);
}

TEST(RenderDevice, DisplayModesKeepSixteenAndThirtyTwoBits) {
    Fixture f;
    f.backend->Modes() = {{1024, 768, 32, 60}, {800, 600, 8, 60}, {1280, 1024, 16, 75}};
    std::vector<platform::ModeRecord> modes;
    f.device->EnumDisplayModes(modes);
    EXPECT_EQ(modes, (std::vector<platform::ModeRecord>{{1024, 768, 32, 60}, {1280, 1024, 16, 75}}));
}

TEST(RenderDevice, FailedDrawIsSkippedWithoutEndingTheFrame) {
    Fixture f;
    Scene scene(*f.device, "s");
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2)));
    f.backend->FailOn("DIP");
    RenderStatistics statistics;
    EXPECT_TRUE(scene.Tree().Render(statistics));
    EXPECT_EQ(statistics[RenderCounter::DpCall], 0u);
    EXPECT_EQ(statistics[RenderCounter::Batch], 1u);
}

TEST(RenderDevice, FailedStateCallEndsTheDrawWalk) {
    Fixture f;
    Scene scene(*f.device, "s");
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2)));
    f.backend->FailOn("FVF");
    RenderStatistics statistics;
    EXPECT_FALSE(scene.Tree().Render(statistics));
    EXPECT_EQ(f.backend->Count("DIP"), 0);
    EXPECT_EQ(f.device->LightCount(), 0u) << "lights are switched off even after a failed walk";
}

TEST(RenderDevice, RestoreStopsAtTheFirstFailureAndReleaseVisitsAll) {
    Fixture f;
    Scene scene(*f.device, "s");
    auto t1 = f.MakeTexture(), t2 = f.MakeTexture();
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(1, t1), MakeMaterial(1, t2)}, 2)));
    EXPECT_TRUE(scene.Tree().ReleaseDeviceResources());
    EXPECT_FALSE(t1->IsRestored());
    EXPECT_FALSE(t2->IsRestored());
    f.backend->FailOn("TEX+");
    EXPECT_FALSE(scene.Tree().RestoreDeviceResources());
    EXPECT_FALSE(t1->IsRestored() && t2->IsRestored()) << "the walk stopped at the failure";
    EXPECT_TRUE(scene.Tree().RestoreDeviceResources());
    EXPECT_TRUE(t1->IsRestored() && t2->IsRestored());
}

TEST(RenderDevice, TextIsMeasuredAndDrawnWithTheMappedFaces) {
    Fixture f;
    Font* font = f.device->CreateFont(u"Tahoma", 12, 700, 0);
    ASSERT_NE(font, nullptr) << "DejaVu Sans must be installed";
    EXPECT_EQ(f.device->CreateFont(u"Tahoma", 12, 700, 0), font) << "fonts are cached";
    Rect rect{0, 0, 0, 0};
    ASSERT_TRUE(f.device->DrawText(font, u"가나다 abc", rect, text_format::kCalcRect, 0xFFFFFFFF));
    EXPECT_GT(rect.right, 30);
    EXPECT_GT(rect.bottom, 8);
    Rect place{0, 0, 200, 20};
    f.device->Begin2D();
    f.backend->ClearLog();
    EXPECT_TRUE(f.device->DrawText(font, u"Marvenlot", place, text_format::kCenter, 0xFFFFFF00));
    EXPECT_EQ(f.backend->Count("DIP"), 1);
    EXPECT_EQ(f.backend->Count("TEX+"), 1);
}
