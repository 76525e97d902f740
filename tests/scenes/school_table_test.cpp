// The cue school on its table (recording render device): the table it sets up, the camera orbit of
// the first pages, and an exercise ticked off from the camera the player turns.
#include <gtest/gtest.h>

#include "engine/render/Scene.h"
#include "platform/video/RecordingBackend.h"
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

}  // namespace
