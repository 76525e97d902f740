// The application's engine and the engine scenes it lights: the factory's slots, the subsystems
// reached through the engine, the time of day carried into an engine scene, the node resets after
// a load, the chat words of the "Lang" resource and the text focus across deactivation.
#include <gtest/gtest.h>

#include <fstream>

#include "app/lib/GameEngineFactory.h"
#include "engine/core/EngineSettings.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Scene.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/PackageBuilder.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundManager.h"
#include "gui/Dialog.h"
#include "gui/TextInput.h"
#include "net/ChatFilter.h"
#include "platform/video/RecordingBackend.h"
#include "scenes/base/SceneLighting.h"
#include "support/AppHarness.h"
#include "support/RecordingScene.h"

namespace {

std::array<float, 4> Rgba(std::uint32_t argb) {
    return {((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
            ((argb >> 24) & 0xFF) / 255.0f};
}

MaterialPtr LitMaterial() {
    auto material = std::make_shared<Material>();
    material->lit = 1;
    material->lightingOff = 0;
    return material;
}

// A node with a one-part mesh of the given material.
SceneNodePtr NodeOfKind(std::uint32_t kind, MaterialPtr material) {
    auto mesh = std::make_shared<Mesh>();
    mesh->SetVertices(platform::vertex_format::kPosition, std::vector<std::uint8_t>(3 * 12, 0));
    mesh->AddPart(std::move(material), {0, 1, 2});
    auto node = std::make_shared<SceneNode>();
    node->SetMesh(0, mesh);
    node->kind = kind;
    return node;
}

const Material& MaterialOf(const SceneNode& node) {
    return *node.meshes.at(node.currentMesh)->parts[0]->material;
}

class RecordingSounds : public scenes::AmbientSoundPlayer {
public:
    void Play(int id, float, int, bool looping) override {
        calls.push_back((looping ? "loop " : "play ") + std::to_string(id));
    }
    void Stop(int id) override { calls.push_back("stop " + std::to_string(id)); }
    std::vector<std::string> calls;
};

// An engine scene with a lamp under a plain object (sharing its material), water, a kind-4 and a
// kind-5 node, two directional lights, one point light, and a fog word with other bytes set.
struct LitScene {
    explicit LitScene(bool effects) {
        auto backend = std::make_unique<platform::RecordingBackend>();
        backend->Caps().bumpEnvMap = effects ? 1 : 0;
        backend->Caps().cubeTextures = effects ? 1 : 0;
        device = std::make_unique<RenderDevice>(std::move(backend));
        platform::DeviceCaps caps;
        device->CheckDeviceCaps(caps);
        SceneContent content;
        shared = LitMaterial();
        root = NodeOfKind(0, shared);
        lamp = NodeOfKind(scenes::node_kind::kLamp, shared);
        root->AddChild(lamp);
        water = NodeOfKind(scenes::node_kind::kWater, LitMaterial());
        water->effectEnabled = false;
        modeNode = NodeOfKind(scenes::node_kind::kModeReset, LitMaterial());
        modeNode->modeWord = 7;
        selfLit = NodeOfKind(scenes::node_kind::kSelfLit, shared);
        selfLit->SetAlpha(0.3f);
        content.objects = {root, water, modeNode, selfLit};
        content.directionalLights[1] = std::make_shared<Light>();
        content.directionalLights[2] = std::make_shared<Light>();
        content.pointLights[1] = std::make_shared<Light>();
        content.fog.flags = 0x01000203;
        scene = std::make_unique<Scene>(*device, "lit", std::move(content));
    }
    std::unique_ptr<RenderDevice> device;
    MaterialPtr shared;
    SceneNodePtr root, lamp, water, modeNode, selfLit;
    std::unique_ptr<Scene> scene;
};

TEST(GameEngine, FactoryFillsEverySlotAndTheEngineHandsThemOut) {
    ::setenv("MARVENLOT_AUDIO", "null", 1);
    auto windows = platform::WindowSystem::Create(platform::VideoBackend::Null);
    GameEngineFactory factory(*windows, nullptr);
    platform::DisplayMode mode;
    mode.width = 1280;
    mode.height = 1024;
    mode.refresh = 75;
    factory.SetDisplayMode(mode);
    std::unique_ptr<Engine> engine = factory.CreateEngine();
    ASSERT_TRUE(engine->Initialize());
    RenderDevice* device = GetRenderDevice(engine.get());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->GetDisplayMode().width, 1280);
    EXPECT_EQ(device->GetDisplayMode().refresh, 75);
    ASSERT_NE(GetResourceManager(engine.get()), nullptr);
    ASSERT_NE(GetSoundManager(engine.get()), nullptr);
    EXPECT_TRUE(GetSoundManager(engine.get())->IsInitialized());
    SceneManager* scenes = GetEngineSceneManager(engine.get());
    ASSERT_NE(scenes, nullptr);
    EXPECT_EQ(&scenes->CreateScene("s")->Device(), device);
    engine->SetActive(false);
    EXPECT_FALSE(device->IsActive());
    engine->SetActive(true);
    EXPECT_TRUE(device->IsActive());
    EXPECT_EQ(GetRenderDevice(nullptr), nullptr);
}

TEST(AppEngine, SubsystemsComeFromTheEngineAndGoWithIt) {
    AppHarness harness(StartMode::Offline);
    {
        std::ofstream(harness.Folder() / "config.ini")
            << "[Video]\nfullscreen=1\nwidth=1280\nheight=1024\nbpp=32\nrefreshrate=60\ntexturedetail=2\n";
    }
    GetEngineSettings().textureDetail = 0;
    bool sameDevice = false, sameSound = false, active = false;
    float aspect = 0;
    harness.Run([&](App& app) {
        ASSERT_TRUE(AppHarness::WaitFor([&] {
            scenes::GameScene* scene = app.Scenes().Current();
            return scene && scene->IsActive();
        }));
        Engine* engine = app.GetEngine();
        ASSERT_NE(engine, nullptr);
        sameDevice = app.Renderer() == GetRenderDevice(engine) && app.Renderer() != nullptr;
        sameSound = app.Sound() == GetSoundManager(engine) && scenes::GetGlobalSoundManager() == app.Sound();
        active = engine->IsActive();
        aspect = GetEngineSceneManager(engine)->Aspect();
    });
    EXPECT_TRUE(sameDevice);
    EXPECT_TRUE(sameSound);
    EXPECT_TRUE(active);
    EXPECT_FLOAT_EQ(aspect, 1024.0f / 1280.0f);
    EXPECT_EQ(GetEngineSettings().textureDetail.load(), 2);
    EXPECT_EQ(harness.app().GetEngine(), nullptr);
    EXPECT_EQ(harness.app().Renderer(), nullptr);
    EXPECT_EQ(scenes::GetGlobalSoundManager(), nullptr);
}

TEST(SceneLighting, NightLightsLampsOnTheirOwnMaterialsAndSwitchesTheLights) {
    LitScene lit(true);
    scenes::GameScene scene(5);
    RecordingSounds sounds;
    scene.SetAmbientSoundPlayer(&sounds);
    scene.UpdateTimeOfDay(2 * 3600);
    scene.SetupSceneLights(lit.scene.get());

    const Material& lampMaterial = MaterialOf(*lit.lamp);
    EXPECT_NE(&lampMaterial, lit.shared.get()) << "the shared material was changed in place";
    EXPECT_EQ(lampMaterial.lit, 0);
    EXPECT_EQ(lampMaterial.lightingOff, 1);
    EXPECT_EQ(lit.shared->lit, 1);
    EXPECT_FLOAT_EQ(lit.lamp->materialAlpha, 1.0f);

    const SceneContent& content = lit.scene->Content();
    const auto ambient = Rgba(scenes::HourlyAmbientColor(0, 2));
    EXPECT_FLOAT_EQ(content.ambient.r, ambient[0]);
    EXPECT_FLOAT_EQ(content.ambient.b, ambient[2]);
    EXPECT_FLOAT_EQ(content.ambient.a, ambient[3]);
    // 02:00: the dusk lights are out, the lamps' own lights on, no morning fog.
    for (const auto& [key, light] : content.directionalLights) EXPECT_FALSE(light->IsOn());
    EXPECT_TRUE(content.pointLights.at(1)->IsOn());
    EXPECT_FALSE(content.fog.Enabled());
    EXPECT_EQ(content.fog.flags & 0xFF00FFFFu, 0x01000203u);

    // 04:00: the morning fog is half way in, and the morning sound starts once.
    scene.UpdateTimeOfDay(4 * 3600);
    scene.SetupSceneLights(lit.scene.get());
    EXPECT_TRUE(content.fog.Enabled());
    EXPECT_FLOAT_EQ(content.fog.start, 20.0f);
    EXPECT_FLOAT_EQ(content.fog.end, 200.0f);
    EXPECT_FLOAT_EQ(content.fog.density, 0.25f);
    EXPECT_EQ(content.fog.flags & 0xFF00FFFFu, 0x01000203u);
    EXPECT_EQ(sounds.calls, std::vector<std::string>{"loop 1"});

    // 10:00: day; lamps dimmed and lit by the scene, the dusk lights on at full fade.
    scene.UpdateTimeOfDay(10 * 3600);
    scene.SetupSceneLights(lit.scene.get());
    EXPECT_EQ(MaterialOf(*lit.lamp).lit, 1);
    EXPECT_EQ(MaterialOf(*lit.lamp).lightingOff, 0);
    EXPECT_FLOAT_EQ(lit.lamp->materialAlpha, 0.8f);
    for (const auto& [key, light] : content.directionalLights) {
        EXPECT_TRUE(light->IsOn());
        EXPECT_FLOAT_EQ(light->Record().diffuse.a, 1.0f);
    }
    EXPECT_FALSE(content.pointLights.at(1)->IsOn());
    EXPECT_EQ(sounds.calls, (std::vector<std::string>{"loop 1", "stop 1", "loop 0"}));
}

TEST(SceneLighting, WithoutEffectsLightsStayOnLampLightsAndFogOff) {
    LitScene lit(false);
    scenes::GameScene scene(5);
    scene.SetLightingMode(scenes::time_of_day::kModeFixedNight);
    scene.UpdateTimeOfDay(4 * 3600);
    scene.SetupSceneLights(lit.scene.get());
    const SceneContent& content = lit.scene->Content();
    for (const auto& [key, light] : content.directionalLights) EXPECT_TRUE(light->IsOn());
    EXPECT_FALSE(content.pointLights.at(1)->IsOn());
    EXPECT_FALSE(content.fog.Enabled());
    scene.SetupSceneLights(nullptr);  // no engine scene: nothing to light
}

TEST(SceneLighting, NodeResetsTouchOnlyTheirKinds) {
    LitScene lit(true);
    scenes::ResetLoadedSceneNodes(*lit.scene, true);
    EXPECT_TRUE(lit.water->effectEnabled);
    EXPECT_EQ(lit.modeNode->modeWord, 0u);
    scenes::ApplyWaterEffect(*lit.scene, false);
    EXPECT_FALSE(lit.water->effectEnabled);

    scenes::GameScene scene(5);
    scene.ResetSceneNodes(lit.scene.get());
    EXPECT_EQ(MaterialOf(*lit.selfLit).lit, 0);
    EXPECT_EQ(MaterialOf(*lit.selfLit).lightingOff, 1);
    EXPECT_FLOAT_EQ(lit.selfLit->materialAlpha, 1.0f);
    EXPECT_EQ(lit.shared->lit, 1) << "the shared material was changed in place";
    EXPECT_EQ(MaterialOf(*lit.lamp).lit, 1);
}

class EngineHost : public FakeSceneHost {
public:
    SceneManager* EngineScenes() override { return scenes; }
    bool WaterEffect() const override { return water; }
    SceneManager* scenes = nullptr;
    bool water = true;
};

TEST(SceneLighting, LoadResetsTheEngineSceneAndCollectsItsLightNodes) {
    LitScene lit(true);
    auto light = std::make_shared<SceneNode>();
    light->kind = scenes::node_kind::kSceneLightA;
    lit.root->AddChild(light);
    SceneManager engineScenes(*lit.device);
    Scene* current = engineScenes.CreateScene("room");
    current->Content().objects.clear();
    current->AddObject(lit.water);
    current->AddObject(lit.root);
    ASSERT_TRUE(engineScenes.SetCurrentScene(0));

    EngineHost host;
    host.scenes = &engineScenes;
    GameSceneManager manager;
    manager.SetOwner(&host);
    manager.CreateWindows();
    manager.AddScene(std::make_unique<scenes::GameScene>(5));
    ASSERT_TRUE(manager.SetScene(5));
    ASSERT_EQ(manager.LoadCurrentScene(), 1);
    EXPECT_TRUE(lit.water->effectEnabled);
    EXPECT_EQ(manager.Current()->LightNodes(0), std::vector<SceneNode*>{light.get()});
    EXPECT_TRUE(manager.Current()->LightNodes(1).empty());
    host.water = false;
    manager.ApplyOptions();
    EXPECT_FALSE(lit.water->effectEnabled);
    manager.DestroyAll();
}

TEST(ChatWords, LinesEndAtCrOrLfAreConvertedAndCut) {
    net::ChatFilter filter;
    std::string text = "abc\r\ndef\n\n\rghi\n";
    text += "\xB0\xA1\xB3\xAA\n";   // two Korean syllables in the system code page
    text += std::string(300, 'x');  // the last line has no line end
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    EXPECT_EQ(AddChatWords(filter, bytes), 5);
    EXPECT_EQ(filter.WordCount(), 5);
    EXPECT_EQ(filter.Filter(u"say def now"), u"say *** now");
    EXPECT_EQ(filter.Filter(u"\uAC00\uB098!"), u"**!");
    // Cut to 260 characters: 260 x are masked whole.
    EXPECT_EQ(filter.Filter(WString(260, u'x')), WString(260, u'*'));
    EXPECT_EQ(AddChatWords(filter, {}), 0);
}

TEST(ChatWords, SharedResourcesFillTheFilterFromTheLangPackage) {
    net::GetChatFilter().Clear();
    PackageBuilder builder;
    const std::string words = "foo\r\nbar\r\n";
    builder.AddGroup(u"Lang").Add(u"Lang", BinaryData{std::vector<std::uint8_t>(words.begin(), words.end())});
    ResourceManager resources;
    ASSERT_NE(resources.OpenPackageFromMemory(u"Lang", builder.Build()), nullptr);
    FakeSceneHost host;
    GameSceneManager manager;
    manager.SetOwner(&host);
    manager.CreateWindows();
    manager.InitSharedResources(&resources, nullptr);
    EXPECT_EQ(net::GetChatFilter().WordCount(), 2);
    EXPECT_TRUE(net::GetChatFilter().Contains(u"a bar"));
    net::GetChatFilter().Clear();

    ResourceManager empty;  // no "Lang" package: the list stays empty
    manager.InitSharedResources(&empty, nullptr);
    EXPECT_EQ(net::GetChatFilter().WordCount(), 0);
}

TEST(TextFocus, DeactivationSavesTheFocusAndActivationGivesItBackAndClosesTheScenesPopups) {
    FakeSceneHost host;
    GameSceneManager manager;
    manager.SetOwner(&host);
    auto owned = std::make_unique<RecordingScene>(2);
    RecordingScene& scene = *owned;
    manager.AddScene(std::move(owned));
    manager.SetScene(2);
    auto* popup = scene.Make<gui::Dialog>();
    popup->SetPopupStyle(true);
    gui::EditBox edit;
    edit.SetFocus(true);
    manager.OnActivate(false);
    EXPECT_FALSE(popup->IsVisible()) << "another window took the focus";
    EXPECT_EQ(gui::TextInputManager::GetFocusedEdit(), nullptr);
    manager.OnActivate(true);
    EXPECT_TRUE(edit.HasFocus());

    // An edit box destroyed while the window was inactive is not given the focus back.
    {
        gui::EditBox gone;
        gone.SetFocus(true);
        manager.OnActivate(false);
    }
    manager.OnActivate(true);
    EXPECT_EQ(gui::TextInputManager::GetFocusedEdit(), nullptr);
    EXPECT_FALSE(edit.HasFocus());
}

}  // namespace
