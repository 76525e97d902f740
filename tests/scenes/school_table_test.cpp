// The cue school on its table (recording render device): the table it sets up, the camera orbit of
// the first pages, and an exercise ticked off from the camera the player turns.
#include <gtest/gtest.h>

#include "engine/render/Scene.h"
#include "gui/Overlays.h"
#include "gui/TextLabel.h"
#include "platform/video/RecordingBackend.h"
#include "platform/window/WindowCodes.h"
#include "scenes/room/school/SceneSchool.h"
#include "scenes/room/school/TutorialIndex.h"
#include "tests/scenes/support/TableSceneHost.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

struct SchoolTable {
    std::unique_ptr<RenderDevice> device;
    std::unique_ptr<TableSceneHost> host;
    scenes::SceneSchool scene;
    explicit SchoolTable(std::uint32_t progress) {
        device = std::make_unique<RenderDevice>(std::make_unique<platform::RecordingBackend>());
        device->SetDisplayMode(platform::DisplayMode{});
        device->ApplyDisplayMode();
        host = std::make_unique<TableSceneHost>(*device, kWidth, kHeight);
        host->session.schoolProgress = progress;
        EXPECT_TRUE(host->Enter(scene));
        scene.Enter();
    }
    ~SchoolTable() { host->Leave(scene); }
    table::TableWorld& World() { return *scene.World(); }
    void SetCamera(float yaw) {
        table::CameraRig& rig = World().GetCameraRig();
        table::CameraView view = rig.View();
        view.yaw = yaw;
        rig.SetView(view, rig.Focus());
    }
};

TEST(SchoolTable, TheFirstPagesOrbitAnEightBallTableThePlayerCannotControlYet) {
    SchoolTable t(0);
    ASSERT_NE(t.scene.World(), nullptr);
    EXPECT_EQ(t.World().GameType(), 10);
    EXPECT_EQ(t.World().TableItem(), 1501) << "the practice table fell back to a default";
    EXPECT_EQ(t.World().BallSetItem(), 2200) << "the practice balls fell back to a default";
    ASSERT_NE(t.host->engineScenes->GetCurrentScene(), nullptr);
    EXPECT_EQ(t.host->engineScenes->GetCurrentScene()->Name().rfind("Map0002", 0), 0u)
        << "the school stands in another map";
    EXPECT_EQ(t.World().GetPlayState(), table::PlayState::SchoolPage);
    EXPECT_EQ(t.World().controlMask, 0u);
    EXPECT_EQ(t.World().CueObjectCount(), 1u);
    const float yaw = t.World().GetCameraRig().GetYawDegrees();
    t.host->Pump(t.scene, 50);
    EXPECT_NE(t.World().GetCameraRig().GetYawDegrees(), yaw) << "the camera stands still on the first pages";
}

TEST(SchoolTable, TheRotationExerciseNeedsBothSidesOfTheTable) {
    SchoolTable t(97);
    t.scene.OnMessage(scenes::school_message::kTopicChosen, 4, 0);
    ASSERT_EQ(t.scene.Step(), 4);
    gui::CommandEvent tryIt;
    tryIt.id = scenes::SceneSchool::kContinueId;
    t.scene.OnCommand(tryIt);
    ASSERT_TRUE(t.scene.Practising());
    EXPECT_EQ(t.World().controlMask, 7u);
    t.SetCamera(90);
    t.scene.CheckStepGoals();
    EXPECT_EQ(t.scene.CurrentGoal(), 0) << "one side of the table was enough";
    t.SetCamera(-170);
    t.scene.CheckStepGoals();
    EXPECT_EQ(t.scene.CurrentGoal(), 1);
}

TEST(SchoolTable, TheFirstPagesLookCloseAndLaterPagesKeepTheCameraOutOfTheBalls) {
    SchoolTable t(0);
    table::CameraRig& rig = t.World().GetCameraRig();
    EXPECT_EQ(rig.View().distance, 50.0f);
    EXPECT_EQ(rig.FieldOfViewDegrees(), 30.0f);
    // The jump from the first pages to a late one: the camera backs out and may not come close again.
    t.scene.OnMessage(scenes::school_message::kTopicChosen, 20, 0);
    ASSERT_EQ(t.scene.Step(), 20);
    t.host->Pump(t.scene, 400);
    EXPECT_EQ(rig.View().distance, 300.0f);
    EXPECT_NEAR(rig.FieldOfViewDegrees(), 20.0f + 30.0f * 200.0f / 420.0f, 1e-3f);
    rig.Zoom(40.0f);
    EXPECT_EQ(rig.View().distance, 130.0f);
    // The table is drawn, and picked, with the narrower view of the near camera.
    t.scene.Render(t.device.get(), true);
    Scene* scene = t.host->engineScenes->GetCurrentScene();
    ASSERT_NE(scene, nullptr);
    const float expected = (20.0f + 30.0f * 30.0f / 420.0f) * 3.14159265f / 180.0f;
    EXPECT_NEAR(scene->CurrentCamera().Fov(), expected, 1e-4f) << "the renderer kept its own field of view";
    EXPECT_NEAR(t.World().FieldOfView(), expected, 1e-4f);
}

TEST(SchoolTable, AClickOnClickToTryBesideTheContinueArrowStartsTheExercise) {
    SchoolTable t(0);
    gui::CommandEvent next;
    next.id = scenes::SceneSchool::kContinueId;
    for (int i = 0; i < 3; ++i) t.scene.OnCommand(next);
    ASSERT_EQ(t.scene.Step(), 4);
    ASSERT_TRUE(t.scene.ClickToTry()->IsShownOnScreen());
    const int x = t.scene.ClickToTry()->ScreenX() + 25, y = t.scene.ClickToTry()->ScreenY() + 8;
    gui::Tooltip::Create();
    t.scene.RouteMessage(platform::kWmMouseMove, 0, platform::MakeLParam(x, y));
    EXPECT_TRUE(gui::Tooltip::Instance()->IsVisible());
    EXPECT_EQ(gui::Tooltip::Instance()->Text(), u"Continue");
    for (std::uint32_t message : {platform::kWmLButtonDown, platform::kWmLButtonUp})
        t.scene.RouteMessage(message, 0, platform::MakeLParam(x, y));
    EXPECT_TRUE(t.scene.Practising()) << "the label beside the arrow took the click";
    EXPECT_FALSE(gui::Tooltip::Instance()->IsVisible()) << "the tooltip stayed when its arrow went";
    gui::DestroyGuiOverlays();
}

TEST(SchoolTable, TheSchoolHoldsItsOwnWarmLightWhateverTheHour) {
    SchoolTable t(0);
    EXPECT_EQ(t.scene.GetTimeOfDay().Ambient(), 0x40FFCB87u);
    EXPECT_TRUE(t.scene.GetTimeOfDay().Night());
    Scene* scene = t.host->engineScenes->GetCurrentScene();
    ASSERT_NE(scene, nullptr);
    const auto& ambient = scene->Content().ambient;
    EXPECT_FLOAT_EQ(ambient.r, 1.0f);
    EXPECT_FLOAT_EQ(ambient.g, 0xCB / 255.0f);
    EXPECT_FLOAT_EQ(ambient.b, 0x87 / 255.0f);
    EXPECT_FLOAT_EQ(ambient.a, 0x40 / 255.0f) << "the engine scene kept the map's own ambient";
    EXPECT_GT(scene->Content().fog.start, 600.0f) << "the fog closes in on the table";
}

TEST(SchoolTable, TheOtherKeysPageNamesTheKeyThatShowsTheWholeTable) {
    SchoolTable t(97);
    t.scene.OnMessage(scenes::school_message::kTopicChosen, 11, 0);
    ASSERT_EQ(t.scene.Step(), 11);
    const WString line = t.scene.TextLine(1)->Text();
    ASSERT_NE(line.find(u"entire table"), WString::npos) << "the page's lines moved";
    const WString key = line.substr(0, line.find(u':'));
    ASSERT_EQ(key, u"Tab") << "the page names a key that does something else";
    gui::CommandEvent tryIt;
    tryIt.id = scenes::SceneSchool::kContinueId;
    t.scene.OnCommand(tryIt);
    ASSERT_FALSE(t.World().GetCameraRig().InTopView());
    t.scene.OnMessage(platform::kWmKeyDown, platform::kVkTab, 0);
    t.host->Pump(t.scene, 5);
    EXPECT_TRUE(t.World().GetCameraRig().InTopView());
}

}  // namespace
