#include <gtest/gtest.h>

#include "engine/render/RenderNodes.h"
#include "engine/render/RenderSortLevels.h"
#include "tests/engine/support/render_fixture.h"

using namespace render_test;
using C = RenderCounter;

namespace {

struct SortTreeTest : ::testing::Test {
    Fixture f;
    Scene scene{*f.device, "test"};
    RenderSortTree& tree = scene.Tree();

    RenderStatistics Frame() {
        RenderStatistics statistics;
        EXPECT_TRUE(tree.Render(statistics));
        return statistics;
    }
};

std::string Tex(const TexturePtr& t) {
    return "t" + std::to_string(t->Id());
}

}  // namespace

// One opaque node, one static mesh (normals and colour), two parts sharing one diffuse material.
TEST_F(SortTreeTest, WorkedCounterExampleAndCacheHitsOnTheSecondFrame) {
    auto texture = f.MakeTexture();
    auto material = MakeMaterial(1, texture);
    auto mesh = MakeMesh(kLitFormat, 40, {material, material}, 12);
    auto node = MakeNode(mesh);
    scene.AddObject(node);

    auto paths = TreePaths(tree);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], "Root>Nodes>Alpha0>VF(0x107)>Static#0>Mat(0x1)>Anim(0)>Lit>SpecOff>Tex0(" +
                            Tex(texture) + ")>Leaf[2]");

    RenderStatistics s = Frame();
    EXPECT_EQ(s[C::Fvf], 1u);
    EXPECT_EQ(s[C::StaticBuffer], 1u);
    EXPECT_EQ(s[C::TextureStageChange], 1u);
    EXPECT_EQ(s[C::LightSwitch], 1u);
    EXPECT_EQ(s[C::LightMap], 0u);
    EXPECT_EQ(s[C::DiffuseMap], 1u);
    EXPECT_EQ(s[C::Batch], 1u);
    EXPECT_EQ(s[C::DpCall], 1u);
    EXPECT_EQ(s[C::FaceSet], 2u);
    EXPECT_EQ(s[C::Vertex], 26u);  // indices 0..25 of the two parts
    EXPECT_EQ(f.backend->Lines("DIP"), std::vector<std::string>{"DIP base=0 min=0 n=26 start=0 prims=24"});

    f.backend->ClearLog();
    RenderStatistics second = Frame();
    for (int i = 0; i < static_cast<int>(C::Count); ++i) EXPECT_EQ(second.counters[i], s.counters[i]) << i;
    EXPECT_EQ(f.backend->Count("RS AlphaBlendEnable"), 0);
    EXPECT_EQ(f.backend->Count("FVF"), 0);
    EXPECT_EQ(f.backend->Count("RS SpecularEnable"), 0);
    EXPECT_EQ(f.backend->Count("VBWRITE"), 0) << "a ready registry runs no upload";
    EXPECT_EQ(f.backend->Count("DIP"), 1);
}

TEST_F(SortTreeTest, StateCallsComeInTheirDeviceOrder) {
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2)));
    Frame();
    const auto& log = f.backend->Log();
    auto at = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
    EXPECT_LT(at("RS AlphaBlendEnable 0"), at("RS AlphaRef 176"));
    EXPECT_LT(at("FVF 0x107"), at("RS DiffuseMaterialSource 1"));
    EXPECT_LT(at("RS DiffuseMaterialSource 1"), at("RS AmbientMaterialSource 1"));
    EXPECT_LT(at("RS AmbientMaterialSource 1"), at("RS CullMode 3"));
    EXPECT_LT(at("RS CullMode 3"), static_cast<long>(log.size()));
}

TEST_F(SortTreeTest, EqualStatesShareNodesAndNewKeysAddChildrenInKeyOrder) {
    auto t1 = f.MakeTexture(), t2 = f.MakeTexture();
    auto m1 = MakeMaterial(1, t1), m2 = MakeMaterial(1, t2);
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {m2}, 2)));
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {m1, m1}, 2)));
    auto paths = TreePaths(tree);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_NE(paths[0].find("Tex0(" + Tex(t1) + ")>Leaf[2]"), std::string::npos) << paths[0];
    EXPECT_NE(paths[1].find("Tex0(" + Tex(t2) + ")>Leaf[1]"), std::string::npos) << paths[1];
}

TEST_F(SortTreeTest, RemovalPrunesEmptyNodesUpToTheFirstLevelThatStillHoldsSomething) {
    auto t1 = f.MakeTexture(), t2 = f.MakeTexture();
    auto keep = MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(1, t1)}, 2));
    auto drop = MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(1, t2)}, 2));
    scene.AddObject(keep);
    scene.AddObject(drop);
    scene.RemoveObject(*drop);
    auto paths = TreePaths(tree);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_NE(paths[0].find(Tex(t1)), std::string::npos);
    EXPECT_EQ(f.device->GetStaticBufferManager().SetCount(), 1u);

    scene.RemoveObject(*keep);
    EXPECT_TRUE(TreePaths(tree).empty());
    EXPECT_EQ(tree.Root().RegisteredFilings(), 0u);
    EXPECT_EQ(f.device->GetStaticBufferManager().SetCount(), 0u) << "the static set goes with its node";
}

TEST_F(SortTreeTest, RefileAfterAStateChangeFindsThePartThroughTheRegistry) {
    auto material = MakeMaterial(1, f.MakeTexture());
    auto node = MakeNode(MakeMesh(kLitFormat, 8, {material}, 2));
    scene.AddObject(node);
    material->flags = 0;  // keyed state changed after filing
    material->slots[0] = kNoSlot;
    tree.OnEntityChanged(1, node.get());
    auto paths = TreePaths(tree);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_NE(paths[0].find("Mat(0x0)>Anim(0)>Lit>SpecOff>Leaf[1]"), std::string::npos) << paths[0];
    EXPECT_EQ(tree.Root().RegisteredFilings(), 1u);

    tree.OnEntityChanged(2, node.get());
    EXPECT_EQ(TreePaths(tree), paths) << "change 2 does nothing";
    tree.OnEntityChanged(0, node.get());
    EXPECT_TRUE(TreePaths(tree).empty());
}

TEST_F(SortTreeTest, BlendModesRouteNodes) {
    auto mesh = MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2);
    auto notFiled = MakeNode(mesh, 2);
    notFiled->cullOverride = 0;
    scene.AddObject(notFiled);
    EXPECT_TRUE(TreePaths(tree).empty()) << "blend mode 2 is not filed, even with a cull override";

    auto overridden = MakeNode(mesh, 0);
    overridden->cullOverride = 0;
    scene.AddObject(overridden);
    EXPECT_EQ(TreePaths(tree), std::vector<std::string>{"Root>Nodes>Alpha1>SortedBlend"});
}

TEST_F(SortTreeTest, DrawOrderLevelVisitsPositiveThenZeroThenNegative) {
    auto mesh = MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2);
    for (std::int16_t order : {-1, 3, 0}) {
        auto node = MakeNode(mesh, 1);
        node->SetDrawOrder(order);
        scene.AddObject(node);
    }
    EXPECT_EQ(TreePaths(tree),
              (std::vector<std::string>{"Root>Nodes>Alpha1>Blend(3)", "Root>Nodes>Alpha1>SortedBlend",
                                        "Root>Nodes>Alpha1>Blend(-1)"}));
}

TEST_F(SortTreeTest, ExtendedStageBitsMergeMaterialsOnlyWithoutExtendedStages) {
    auto plain = MakeMesh(kLitFormat, 8, {MakeMaterial(1), MakeMaterial(1 | 64)}, 2);
    scene.AddObject(MakeNode(plain));
    EXPECT_EQ(TreePaths(tree).size(), 1u);

    Scene other(*f.device, "other");
    auto extended = MakeMesh(kLitFormat, 8, {MakeMaterial(1), MakeMaterial(1 | 64)}, 2);
    extended->visibility.extendedStages = 1;
    other.AddObject(MakeNode(extended));
    EXPECT_EQ(TreePaths(other.Tree()).size(), 2u);
}

TEST_F(SortTreeTest, StageMaskZeroFilesStraightIntoTheLeafAndLightMapCounts) {
    auto lightMap = f.MakeTexture();
    auto material = MakeMaterial(0);
    material->SetStage(kLightMapSlot, lightMap);  // flags = 2
    material->stages.push_back({});               // a record without animation
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0), material}, 2)));
    auto paths = TreePaths(tree);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], "Root>Nodes>Alpha0>VF(0x107)>Static#0>Mat(0x0)>Anim(0)>Lit>SpecOff>Leaf[1]");
    EXPECT_EQ(paths[1], "Root>Nodes>Alpha0>VF(0x107)>Static#0>Mat(0x2)>Anim(0)>Lit>SpecOff>Tex6(" +
                            Tex(lightMap) + ")>Leaf[1]");
    RenderStatistics s = Frame();
    EXPECT_EQ(s[C::LightMap], 1u);
    EXPECT_EQ(s[C::DiffuseMap], 0u);
    EXPECT_EQ(f.backend->Count("TEX 0 t"), 1) << "the light map alone takes stage 0";
}

TEST_F(SortTreeTest, DiffuseAndLightMapTakeStagesZeroAndOne) {
    auto diffuse = f.MakeTexture(), lightMap = f.MakeTexture();
    auto material = MakeMaterial(0, diffuse);
    material->SetStage(kLightMapSlot, lightMap);
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {material}, 2)));
    Frame();
    EXPECT_EQ(f.backend->Count("TEX 0 t" + std::to_string(diffuse->Handle())), 1);
    EXPECT_EQ(f.backend->Count("TEX 1 t" + std::to_string(lightMap->Handle())), 1);
    EXPECT_EQ(f.backend->Count("LIGHTENABLE"), 0) << "no lights in the scene";
}

TEST_F(SortTreeTest, FailedSceneSetupDrawsNothing) {
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2)));
    f.backend->FailOn("XFORM View");
    RenderStatistics statistics;
    EXPECT_FALSE(tree.Render(statistics));
    EXPECT_EQ(f.backend->Count("DIP"), 0);
    EXPECT_EQ(f.backend->Count("RS AlphaBlendEnable"), 0);
}

TEST_F(SortTreeTest, LightsAreAddedEachFrameAndSwitchedOffAtTheEnd) {
    platform::LightRecord light;
    scene.Content().directionalLights[1] = std::make_shared<Light>(light);
    scene.Content().directionalLights[2] = std::make_shared<Light>(light, false);
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2)));
    Frame();
    EXPECT_EQ(f.backend->Lines("LIGHT"),
              (std::vector<std::string>{"LIGHT 0 dir", "LIGHTENABLE 0 1", "LIGHTENABLE 0 0"}));
    EXPECT_EQ(f.device->LightCount(), 0u);
}

TEST_F(SortTreeTest, NewObjectsShowWithoutACameraMove) {
    Frame();
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2)));
    EXPECT_EQ(scene.cameraDirty, 0);
    EXPECT_EQ(Frame()[C::DpCall], 1u);
}

TEST_F(SortTreeTest, AMeshSharedByTwoNodesLeavesNoRecordBehind) {
    auto mesh = MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2);
    auto a = MakeNode(mesh, 1), b = MakeNode(mesh, 1);
    scene.AddObject(a);
    scene.AddObject(b);
    EXPECT_EQ(tree.Root().RegisteredFilings(), 2u);
    scene.RemoveObject(*a);
    EXPECT_EQ(tree.Root().RegisteredFilings(), 1u);
    EXPECT_EQ(TreePaths(tree).size(), 1u);
    scene.RemoveObject(*b);
    EXPECT_TRUE(TreePaths(tree).empty());
    EXPECT_EQ(tree.Root().RegisteredFilings(), 0u);
}

TEST_F(SortTreeTest, BatchesSplitBeforeSixteenBitIndicesWouldWrap) {
    // Two meshes in one set: the second part starts below 65536 but reaches past it.
    auto first = MakeMesh(platform::vertex_format::kPosition, 60000, {MakeMaterial(0)}, 2);
    auto second = MakeMesh(platform::vertex_format::kPosition, 10000, {MakeMaterial(0)}, 0);
    second->parts[0]->indices = {0, 1, 9999};
    scene.AddObject(MakeNode(first));
    scene.AddObject(MakeNode(second));
    Frame();
    auto draws = f.backend->Lines("DIP");
    ASSERT_EQ(draws.size(), 2u) << "each batch's indices stay within 16 bits";
    EXPECT_EQ(draws[1], "DIP base=60000 min=0 n=10000 start=6 prims=1");
}

TEST_F(SortTreeTest, BatchWithIndexCountNotAMultipleOfThreeIsSkippedQuietly) {
    auto mesh = MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 1);
    mesh->parts[0]->indices.push_back(4);
    scene.AddObject(MakeNode(mesh));
    RenderStatistics s = Frame();
    EXPECT_EQ(f.backend->Count("DIP"), 0);
    EXPECT_EQ(s[C::Batch], 1u);
    EXPECT_EQ(s[C::FaceSet], 1u);
}

TEST_F(SortTreeTest, BlendedRecordsDrawWithTheirMatricesAndLeaveTheWorldAtIdentity) {
    // Sort values live on the parts, so each node has its own mesh.
    auto near = MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2), 1);
    auto far = MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2), 1);
    Transform t;
    t.position = {5, 0, 0};
    t.Update();
    near->SetLocal(t);
    t.position = {0, 0, 900};
    t.Update();
    far->SetLocal(t);
    scene.AddObject(near);
    scene.AddObject(far);
    RenderStatistics s = Frame();
    EXPECT_EQ(s[C::DpCall], 2u);
    auto worlds = f.backend->Lines("XFORM World");
    ASSERT_GE(worlds.size(), 3u);
    EXPECT_NE(worlds[worlds.size() - 3].find(" 900 1]"), std::string::npos)
        << "farthest first: " << worlds[worlds.size() - 3];
    EXPECT_NE(worlds[worlds.size() - 2].find(" 5 0 0 1]"), std::string::npos);
    EXPECT_EQ(worlds.back(), "XFORM World identity");
}

TEST_F(SortTreeTest, TextureScrollAtAFixedClockAndResetForUnanimatedMaterials) {
    auto animated = MakeMaterial(1, f.MakeTexture());
    animated->stages[0].animation =
        std::make_shared<AnimationRecord>(AnimationRecord{2, 0, 1});  // P = 500 ms
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {animated}, 2)));
    f.clock.AdvanceMs(750 - 1000 + 1000);  // clock at 1750 ms: 1750 mod 1000 = 750 -> u = 1.5
    Frame();
    auto matrices = f.backend->Lines("XFORM Texture0");
    ASSERT_EQ(matrices.size(), 1u);
    EXPECT_EQ(matrices[0], "XFORM Texture0 [1 0 0 0 0 1 0 0 1.5 0 1 0 0 0 0 1]");
    EXPECT_EQ(f.backend->Count("TSS 0 TextureTransformFlags 2"), 1);

    Scene plain(*f.device, "plain");
    plain.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(1, f.MakeTexture())}, 2)));
    RenderStatistics statistics;
    plain.Tree().Render(statistics);
    EXPECT_EQ(f.backend->Count("TSS 0 TextureTransformFlags 0"), 1) << "the scroll does not leak";
}

TEST_F(SortTreeTest, AlphaAndSpecularLocksMakeTheirNodesSucceedWithoutCalls) {
    f.device->alphaLock = 1;
    f.device->specularLock = 1;
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2)));
    Frame();
    EXPECT_EQ(f.backend->Count("RS AlphaBlendEnable"), 0);
    EXPECT_EQ(f.backend->Count("RS SpecularEnable"), 0);
    EXPECT_EQ(f.backend->Count("DIP"), 1);
}

TEST_F(SortTreeTest, DynamicMeshesDrawPerRecordThroughTheDynamicBuffers) {
    auto mesh = MakeMesh(kLitFormat, 8, {MakeMaterial(0), MakeMaterial(0)}, 2);
    mesh->visibility.dynamic = 1;
    scene.AddObject(MakeNode(mesh));
    EXPECT_NE(TreePaths(tree)[0].find(">Dynamic>"), std::string::npos);
    RenderStatistics s = Frame();
    EXPECT_EQ(s[C::DpCall], 2u);
    EXPECT_EQ(s[C::FaceSet], 2u);
    EXPECT_EQ(s[C::StaticBuffer], 0u);
}

TEST_F(SortTreeTest, ReleaseVisitsEveryNodeAndRestoreMakesTexturesAgain) {
    auto texture = f.MakeTexture();
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(1, texture)}, 2)));
    Frame();
    ASSERT_TRUE(texture->IsRestored());
    EXPECT_TRUE(tree.ReleaseDeviceResources());
    EXPECT_FALSE(texture->IsRestored());
    EXPECT_FALSE(f.device->Buffers().ready);
    EXPECT_TRUE(tree.RestoreDeviceResources());
    EXPECT_TRUE(texture->IsRestored());
    EXPECT_EQ(Frame()[C::DpCall], 1u);
}

TEST_F(SortTreeTest, SpritesDrawAfterNodesHighestSortValueFirst) {
    auto a = Sprite::CreateQuad(f.MakeTexture(), 10, 10), b = Sprite::CreateQuad(f.MakeTexture(), 10, 10);
    a->mesh->visibility.viewDepth = 1;
    b->mesh->visibility.viewDepth = 5;
    scene.AddObject(MakeNode(MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2)));
    scene.AddSprite(1, a);
    scene.AddSprite(2, b);
    RenderStatistics s = Frame();
    EXPECT_EQ(s[C::Vertex], 4u + 4u + 4u);
    auto draws = f.backend->Lines("DIP");
    ASSERT_EQ(draws.size(), 3u);
    scene.RemoveSprite(1);
    scene.RemoveSprite(2);
    EXPECT_EQ(TreePaths(tree).size(), 1u);
}

// --- Visitors -------------------------------------------------------------------------------------

namespace {

struct CountingVisitor : RenderVisitor {
    int failAt = -1;
    std::vector<std::string> entered, left;
    bool Enter(RenderNode& node, bool& descend) override {
        descend = true;
        entered.push_back(node.Label());
        return static_cast<int>(entered.size()) != failAt;
    }
    bool Leave(RenderNode& node) override {
        left.push_back(node.Label());
        return true;
    }
};

}  // namespace

TEST_F(SortTreeTest, VisitorStopsAtTheFirstFailingEnter) {
    auto mesh = MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2);
    for (std::int16_t order : {3, 2, 1}) {
        auto node = MakeNode(mesh, 1);
        node->SetDrawOrder(order);
        scene.AddObject(node);
    }
    CountingVisitor visitor;
    visitor.failAt = 5;  // Root, Nodes, Alpha1, Blend(3), then fails on Blend(2)
    EXPECT_FALSE(tree.Accept(visitor));
    EXPECT_EQ(visitor.entered.back(), "Blend(2)");
    EXPECT_EQ(std::count(visitor.entered.begin(), visitor.entered.end(), "Blend(1)"), 0);
    EXPECT_EQ(std::count(visitor.left.begin(), visitor.left.end(), "Blend(2)"), 0);
}

TEST_F(SortTreeTest, InvisibleNodesAreNeitherAppliedNorLeft) {
    auto hidden = MakeMesh(kLitFormat, 8, {MakeMaterial(0)}, 2);
    hidden->visibility.visible = 0;
    scene.AddObject(MakeNode(hidden));
    RenderStatistics s = Frame();
    EXPECT_EQ(s[C::Fvf], 0u);
    EXPECT_EQ(f.backend->Count("DIP"), 0);

    AnyVisibleVisitor any;
    tree.Accept(any);
    EXPECT_FALSE(any.found);
    hidden->visibility.visible = 1;
    tree.MarkVisibilityStale();
    EXPECT_EQ(Frame()[C::DpCall], 1u);
}

TEST(KeyedSortLevel, EmptyAcceptSucceedsWithoutVisiting) {
    Fixture f;
    RenderSortTree tree(*f.device, nullptr);
    VertexFormatLevel level(&tree, &tree.Root());
    CountingVisitor visitor;
    EXPECT_TRUE(level.Accept(visitor));
    EXPECT_TRUE(visitor.entered.empty());
    EXPECT_TRUE(level.IsEmpty());
}

TEST(KeyedSortLevel, SpritesAndMeshesInAPartKeyedLevelFileUnderKeyZero) {
    Fixture f;
    RenderSortTree tree(*f.device, nullptr);
    TextureStageLevel level(&tree, &tree.Root(), 0, 1);
    auto sprite = Sprite::CreateQuad(f.MakeTexture(), 4, 4);
    EXPECT_EQ(level.SpriteKey(*sprite), 0u);
    EXPECT_EQ(level.MeshKey(*sprite->mesh), 0u);
    EXPECT_EQ(level.PartKey(*MakeMesh(kLitFormat, 4, {MakeMaterial(0)}, 1)->parts[0]), 0u)
        << "no slot 0 -> key 0";
}
