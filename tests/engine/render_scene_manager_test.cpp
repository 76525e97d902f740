#include <gtest/gtest.h>

#include <filesystem>

#include "engine/render/RenderNodes.h"
#include "engine/render/SceneBuilder.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "tests/engine/support/render_fixture.h"

using namespace render_test;
using C = RenderCounter;

namespace {

struct GeneratedScenes : ::testing::Test {
    Fixture f;
    ResourceManager resources;
    SceneManager scenes{*f.device};

    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(std::string(MARVENLOT_BINARY_DIR) + "/data/data.mpk"));
        resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources.SetDataFolder(u"data");
    }
    ResourceGroup* Group(const char16_t* package, const char16_t* group) {
        ResourcePackage* p = resources.OpenPackage(package);
        return p ? p->FindGroup(group) : nullptr;
    }
};

}  // namespace

TEST_F(GeneratedScenes, MapScenesBuildFromSceneInfoAndDraw) {
    for (const char16_t* name : {u"Map0000", u"Map0002"}) {
        ResourceGroup* group = Group(u"data", name);
        ASSERT_NE(group, nullptr);
        for (const auto& info : group->GetSceneInfoManager().All())
            scenes.AddSceneFromInfo(info->data, *group);
    }
    ASSERT_EQ(scenes.SceneCount(), 2u);
    ASSERT_TRUE(scenes.SetCurrentScene(1));
    Scene* scene = scenes.GetCurrentScene();
    EXPECT_EQ(scene->Cameras().size(), 3u);
    EXPECT_EQ(scene->Content().directionalLights.size(), 2u);
    EXPECT_EQ(scene->clearColor, 0xFF202428u);

    ASSERT_TRUE(scenes.RenderCurrentScene());
    EXPECT_GE(scenes.Statistics()[C::DpCall], 1u);
    EXPECT_EQ(scenes.Statistics()[C::DiffuseMap], 1u) << "the floor's texture";
    EXPECT_EQ(f.backend->Count("LIGHTENABLE 0 1"), 1);
    EXPECT_EQ(f.backend->Count("LIGHTENABLE 1 1"), 1);

    EXPECT_FALSE(scenes.SetCurrentScene(7)) << "no such scene";
    EXPECT_EQ(scenes.GetCurrentScene(), scene);
}

TEST_F(GeneratedScenes, ASceneSwitchReleasesTheOldTreeAndRestoresTheNewOne) {
    ResourceGroup* group = Group(u"data", u"Map0002");
    ASSERT_NE(group, nullptr);
    const auto& info = group->GetSceneInfoManager().All().front()->data;
    scenes.AddSceneFromInfo(info, *group);
    scenes.AddSceneFromInfo(info, *group);
    scenes.SetCurrentScene(0);
    scenes.RenderCurrentScene();
    f.backend->ClearLog();
    scenes.SetCurrentScene(1);
    EXPECT_GE(f.backend->Count("TEX- "), 1) << "the old scene's textures are released";
    EXPECT_GE(f.backend->Count("BUF- "), 1) << "and its buffers";
    EXPECT_EQ(scenes.GetCurrentScene()->cameraDirty, 1);
    EXPECT_TRUE(scenes.RenderCurrentScene());
    EXPECT_GE(scenes.Statistics()[C::DpCall], 1u);
}

TEST_F(GeneratedScenes, TableModelsOfEveryTypeFileIntoTheTree) {
    ResourceGroup* tables = Group(u"Tables", u"Tables");
    ASSERT_NE(tables, nullptr);
    Scene* scene = scenes.CreateScene("aa");
    SceneBuilder builder(*f.device, *tables);
    for (const auto& model : tables->GetModelManager().All()) {
        SceneNodePtr node = builder.BuildModel(model->id, Matrix4f{});
        ASSERT_NE(node, nullptr);
        scene->AddObject(node);
    }
    scenes.SetCurrentScene(0);
    ASSERT_TRUE(scenes.RenderCurrentScene());
    EXPECT_GE(scenes.Statistics()[C::FaceSet], tables->GetModelManager().Count());
}

TEST(SceneBuilder, PackageVertexFormatBitsBecomeDeviceBits) {
    EXPECT_EQ(DeviceFormatOf(::vertex_format::Make(true, true, 2)),
              platform::vertex_format::kPosition | platform::vertex_format::kNormal |
                  platform::vertex_format::kDiffuse | platform::vertex_format::TexSets(2));
    EXPECT_EQ(DeviceFormatOf(::vertex_format::Make(false, false, 0)), platform::vertex_format::kPosition);
}

TEST(SceneBuilder, LightsTakeColourTimesIntensityWithTheIntensityAsAlpha) {
    DirectionalLightData data;
    data.r = 0.5f;
    data.intensity = 0.8f;
    data.specular = 0;
    data.direction = {0, 0, -1};
    platform::LightRecord light = DirectionalLightOf(data);
    EXPECT_FLOAT_EQ(light.diffuse.r, 0.4f);
    EXPECT_FLOAT_EQ(light.diffuse.a, 0.8f);
    EXPECT_FLOAT_EQ(light.specular.a, 0.0f);
    EXPECT_FLOAT_EQ(light.direction[2], -1.0f);
}

TEST(SceneManagerOverlay, StatisticsLinesCarryTheLabels) {
    RenderStatistics statistics;
    statistics[C::DpCall] = 7;
    auto lines = SceneManager::StatisticsLines(statistics);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], u"FVF: 0");
    EXPECT_EQ(lines[7], u"DP Call: 7");
    EXPECT_EQ(lines[9], u"Vertex: 0");
}

TEST(SceneRemoval, ANodeLeavesTheTreeBeforeItIsDropped) {
    Fixture f;
    Scene scene(*f.device, "s");
    auto node = MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2), 1);
    std::weak_ptr<SceneNode> watch = node;
    scene.AddObject(node);
    node.reset();
    scene.RemoveObject(*watch.lock());
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(scene.Tree().Root().RegisteredFilings(), 0u);
    RenderStatistics statistics;
    EXPECT_TRUE(scene.Tree().Render(statistics));
    EXPECT_EQ(statistics[C::DpCall], 0u);
}

// A ball's orientation comes from records and peers: its length must not change the size the ball
// is drawn at, and one without a direction draws unrotated.
TEST(NodeTransform, AnOrientationOfAnyLengthGivesTheRotationItStandsFor) {
    Transform unit, longer, zero;
    const float q[4] = {0.5f, -0.5f, 0.5f, 0.5f};
    for (int i = 0; i < 4; ++i) {
        unit.rotation[i] = q[i];
        longer.rotation[i] = 3.0f * q[i];
        zero.rotation[i] = 0.0f;
    }
    for (Transform* t : {&unit, &longer, &zero}) t->Update();
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(longer.matrix.m[k], unit.matrix.m[k], 1e-6f) << k;
        EXPECT_EQ(zero.matrix.m[k], k % 5 == 0 ? 1.0f : 0.0f) << k;
    }
    EXPECT_NEAR(unit.matrix.m[2], 1.0f, 1e-6f) << "x turns to z";
}
