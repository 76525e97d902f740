// The cue school on its table (recording render device): the table it sets up, the camera orbit of
// the first pages, the lessons done with the controls their texts name, and the camera they leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/render/Scene.h"
#include "gui/Button.h"
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
    void Mouse(std::uint32_t message, int x, int y) { host->Mouse(scene, message, x, y); }
    // Through the widgets first, as the window delivers it.
    void Route(std::uint32_t message, int x, int y) {
        if (!scene.RouteMessage(message, 0, platform::MakeLParam(x, y))) Mouse(message, x, y);
    }
    void Click(int x, int y) {
        for (std::uint32_t m : {platform::kWmMouseMove, platform::kWmLButtonDown, platform::kWmLButtonUp})
            Route(m, x, y);
    }
    // Pressed, drawn by (dx, dy) in steps of 10 pixels with a tick after each, released.
    void Drag(bool right, int x, int y, int dx, int dy) {
        Mouse(platform::kWmMouseMove, x, y);
        Mouse(right ? platform::kWmRButtonDown : platform::kWmLButtonDown, x, y);
        const int steps = std::max(std::abs(dx), std::abs(dy)) / 10;
        for (int k = 1; k <= steps; ++k) {
            Mouse(platform::kWmMouseMove, x + dx * k / steps, y + dy * k / steps);
            host->Pump(scene, 1);
        }
        Mouse(right ? platform::kWmRButtonUp : platform::kWmLButtonUp, x + dx, y + dy);
    }
    void Wheel(int notches) {
        const int step = notches > 0 ? 1 : -1;
        for (int k = 0; k != notches; k += step) {
            const auto delta = static_cast<std::uint16_t>(step * platform::kWheelDelta);
            scene.OnMessage(platform::kWmMouseWheel, static_cast<std::uintptr_t>(delta) << 16,
                            platform::MakeLParam(400, 450));
            host->Pump(scene, 1);
        }
    }
    void Key(std::uint32_t key, int heldTicks = 0) {
        scene.OnMessage(platform::kWmKeyDown, key, 0);
        host->Pump(scene, heldTicks);
        scene.OnMessage(platform::kWmKeyUp, key, 0);
        host->Pump(scene, 1);
    }
    void Continue() { scene.OnCommand({nullptr, scenes::SceneSchool::kContinueId}); }
    // The page of the lesson through the index, and its exercise started; true when practising.
    bool Practise(int step) {
        scene.OnMessage(scenes::school_message::kTopicChosen, static_cast<std::uintptr_t>(step), 0);
        Continue();
        return scene.Step() == step && scene.Practising();
    }
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
    // A drag over the hidden table struck its rack, and the table showed up when the balls rested.
    t.Drag(false, 300, 450, 0, 100);
    EXPECT_FALSE(t.World().ShotExecuting()) << "the hidden table took a shot";
    t.Wheel(5);
    EXPECT_EQ(t.World().GetCameraRig().View().distance, 50.0f) << "the wheel moved the orbiting camera";
}

// Each camera exercise is done with its named control in strokes within the window; every goal done brings
// the camera back behind the cue ball, and the rest of the stroke that met it does not undo that.
TEST(SchoolTable, TheCameraLessonIsDoneWithTheRightButtonAndTheWheelAndEndsBehindTheCueBall) {
    SchoolTable t(97);
    ASSERT_TRUE(t.Practise(4));
    t.host->Pump(t.scene, 400);
    t.Drag(false, 400, 450, 0, 150);
    EXPECT_FALSE(t.World().ShotExecuting()) << "the camera lesson's left button broke the rack";
    const float aim = t.World().Aim().YawDegrees();
    table::CameraRig& rig = t.World().GetCameraRig();
    auto behind = [&] { return std::remainder(rig.GetYawDegrees() - t.World().Aim().YawDegrees(), 360.0f); };
    for (int stroke = 0; stroke < 2; ++stroke) {
        t.Drag(true, 100, 450, 400, 0);
        t.Mouse(platform::kWmMouseMove, 100, 450);
        t.host->Pump(t.scene, 1);
    }
    ASSERT_EQ(t.scene.CurrentGoal(), 1) << "two right-drags sideways, half way round each";
    EXPECT_EQ(t.World().Aim().YawDegrees(), aim) << "the pointer brought back turned the aim";
    t.host->Pump(t.scene, 200);
    EXPECT_NEAR(behind(), 0.0f, 1e-3f) << "the rest of the drag turned the camera off its way back";
    t.Drag(true, 400, 450, 0, -40);
    t.Drag(true, 400, 410, 0, 200);
    ASSERT_EQ(t.scene.CurrentGoal(), 2) << "a right-drag down and up";
    t.host->Pump(t.scene, 200);
    t.Wheel(8);
    for (int notch = 0; notch < 20 && t.scene.CurrentGoal() == 2; ++notch) t.Wheel(-1);
    ASSERT_EQ(t.scene.CurrentGoal(), 3) << "the wheel in and out";
    t.Wheel(-3);
    EXPECT_TRUE(t.scene.Button(scenes::SceneSchool::kContinueId)->IsVisible());
    t.host->Pump(t.scene, 300);
    EXPECT_EQ(rig.View().distance, 300.0f) << "the rest of the scroll zoomed the camera on its way back";
    EXPECT_EQ(rig.GetPitchDegrees(), 12.5f);
    EXPECT_NEAR(behind(), 0.0f, 1e-3f) << "the camera looks past the cue ball";
    t.Wheel(-1);
    EXPECT_GT(rig.View().distance, 300.0f) << "the wheel stayed held once the camera was back";
}

// The shot lesson's left button draws and strikes; the aiming lesson wants an aim the player turned
// (the first one lies on the rack); the masse lessons' cue is raised with the Up key and its tip
// moved with the keys, even when the school opens on the second masse page.
TEST(SchoolTable, TheShotAimAndMasseLessonsAreDoneWithTheirNamedControls) {
    SchoolTable t(97);
    ASSERT_TRUE(t.Practise(5));
    t.host->Pump(t.scene, 10);
    t.Drag(false, 400, 450, 0, 150);
    ASSERT_TRUE(t.World().ShotExecuting()) << "the left button drawn down struck nothing";
    for (int i = 0; i < 100 && t.scene.CurrentGoal() == 0; ++i) t.host->Pump(t.scene, 200);
    EXPECT_EQ(t.scene.CurrentGoal(), 1);
    // A shot after the goal, which meets none: the camera comes back from the shot's overview too.
    t.Drag(false, 400, 450, 0, 150);
    for (int i = 0; i < 100 && t.World().ShotExecuting(); ++i) t.host->Pump(t.scene, 50);
    t.host->Pump(t.scene, 250);
    float x = 0, y = 0, z = 0;
    t.World().BallPosition(0, x, y, z);
    EXPECT_NEAR(t.World().GetCameraRig().Focus().x, x, 1e-3f)
        << "the camera stayed over the middle of the table";

    SchoolTable aiming(97);
    ASSERT_TRUE(aiming.Practise(8));
    aiming.host->Pump(aiming.scene, 10);
    EXPECT_EQ(aiming.scene.CurrentGoal(), 0) << "the aim at the rack was ticked before the player aimed";
    aiming.Key(platform::kVkLeft, 1);
    aiming.Key(platform::kVkRight, 1);
    EXPECT_EQ(aiming.scene.CurrentGoal(), 1) << "the aim turned back onto the rack's first ball";

    SchoolTable masse(51);  // the school opens on the second masse page
    ASSERT_EQ(masse.scene.Step(), 51);
    masse.Continue();
    ASSERT_TRUE(masse.scene.Practising());
    masse.Key(platform::kVkUp, 400);
    EXPECT_GT(masse.World().Aim().ElevationDegrees(), 80.0f);
    EXPECT_EQ(masse.scene.CurrentGoal(), 0);
    for (int i = 0; i < 6; ++i) masse.Key('A');
    EXPECT_EQ(masse.scene.CurrentGoal(), 1) << "the raised cue with its tip off the centre";
}

TEST(SchoolTable, TheRotationExerciseNeedsBothSidesOfTheTable) {
    SchoolTable t(97);
    ASSERT_TRUE(t.Practise(4));
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

// "Click to Try" starts the exercise without turning the aim, and no tooltip outlives its arrow.
TEST(SchoolTable, ClickToTryStartsTheExerciseWithoutTurningTheAimAndNoTooltipOutlivesItsArrow) {
    SchoolTable t(0);
    for (int i = 0; i < 3; ++i) t.Continue();
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

    // On a shot page the pointer comes off the guide's panel onto the table: it aims once it rests there.
    SchoolTable shot(97);
    shot.scene.OnMessage(scenes::school_message::kTopicChosen, 5, 0);
    shot.Click(x, y);
    ASSERT_TRUE(shot.scene.Practising());
    shot.host->Pump(shot.scene, 300);
    const float aimed = shot.World().Aim().YawDegrees();
    for (int k = 1; k <= 10; ++k) shot.Route(platform::kWmMouseMove, x - 20 * k, 500);
    EXPECT_EQ(shot.World().Aim().YawDegrees(), aimed) << "the aim jumped as the pointer left the panel";
    shot.host->Pump(shot.scene, 50);
    shot.Route(platform::kWmMouseMove, x - 240, 500);
    EXPECT_NE(shot.World().Aim().YawDegrees(), aimed) << "the pointer at rest on the table aims";
    SchoolTable end(12);  // Continue clicked into the course end: the gift shows without its tooltip.
    const gui::Button* arrow = end.scene.Button(scenes::SceneSchool::kContinueId);
    end.Click(arrow->ScreenX() + 12, arrow->ScreenY() + 12);
    ASSERT_TRUE(end.scene.GiftDialog()->IsVisible());
    EXPECT_FALSE(gui::Tooltip::Instance()->IsVisible()) << "\"Continue\" stayed over the gift";
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

TEST(SchoolTable, TheOtherKeysPageNamesTheKeyThatShowsTheWholeTableClearOfTheSchoolsWidgets) {
    SchoolTable t(97);
    t.scene.OnMessage(scenes::school_message::kTopicChosen, 11, 0);
    ASSERT_EQ(t.scene.Step(), 11);
    const WString line = t.scene.TextLine(1)->Text();
    ASSERT_NE(line.find(u"entire table"), WString::npos) << "the page's lines moved";
    const WString key = line.substr(0, line.find(u':'));
    ASSERT_EQ(key, u"Tab") << "the page names a key that does something else";
    t.Continue();
    ASSERT_FALSE(t.World().GetCameraRig().InTopView());
    t.scene.OnMessage(platform::kWmKeyDown, platform::kVkTab, 0);
    t.host->Pump(t.scene, 5);
    EXPECT_TRUE(t.World().GetCameraRig().InTopView());
    // The whole table below the guide's panel and a page's goal lines, right of the chalk gauge, left of
    // the index or shot controls.
    t.host->Pump(t.scene, 200);
    float goalsEnd = 295;
    const physics::TableGeometry& g = t.World().Rules().Model()->Geometry();
    auto rightRail = [&] {
        float right = 0, sx = 0, sy = 0;
        for (float x : {g.frame.xMin.Value(), g.frame.xMax.Value()})
            for (float y : {g.frame.yMin.Value(), g.frame.yMax.Value()}) {
                EXPECT_TRUE(t.World().TableToScreen({x, y, g.railTop.Value()}, sx, sy));
                EXPECT_TRUE(sx >= 76 && sy >= goalsEnd && sy <= kHeight) << sx << ", " << sy;
                right = std::max(right, sx);
            }
        return right;
    };
    EXPECT_LE(rightRail(), t.scene.Index()->ScreenX() - scenes::TutorialIndex::kTabsLeft);
    t.scene.OnMessage(scenes::school_message::kTopicChosen, 4, 0);
    ASSERT_GT(t.scene.GoalCount(), 0);
    if (!t.World().GetCameraRig().InTopView()) t.scene.OnMessage(platform::kWmKeyDown, platform::kVkTab, 0);
    t.host->Pump(t.scene, 200);
    ASSERT_TRUE(t.World().GetCameraRig().InTopView());
    const gui::TextLabel* done = t.scene.GoalLine(t.scene.GoalCount());
    goalsEnd = static_cast<float>(done->Y() + done->Height());
    rightRail();
    t.scene.Index()->OnCommand({nullptr, scenes::TutorialIndex::kHideId});
    t.host->Pump(t.scene, 1);
    EXPECT_LE(rightRail(), static_cast<float>(t.World().ControlArea().left)) << "under the shot controls";
}

}  // namespace
