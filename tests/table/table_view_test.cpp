#include <gtest/gtest.h>

#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "platform/video/RecordingBackend.h"
#include "table/TableView.h"
#include "table/TableWorld.h"

using namespace table;

namespace {

// The world on the generated packages, drawn through the recording backend.
struct RecordedWorld {
    platform::RecordingBackend* backend;
    std::unique_ptr<RenderDevice> device;
    ResourceManager resources;
    std::unique_ptr<SceneManager> scenes;
    TableWorld world;

    explicit RecordedWorld(int gameType) {
        auto recording = std::make_unique<platform::RecordingBackend>();
        backend = recording.get();
        device = std::make_unique<RenderDevice>(std::move(recording));
        device->ApplyDisplayMode();
        resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources.SetDataFolder(u"data");
        world.SetGameType(gameType);
        world.SetGameItems(0, 0);
        world.SetPhysicsModel(0x10014, true);
        world.StartNewRack(2);
        scenes = std::make_unique<SceneManager>(*device);
    }
    bool Attach() {
        ResourcePackage* data = resources.OpenPackage(u"data");
        ResourceGroup* map = data ? data->FindGroup(u"Map0000") : nullptr;
        if (!map || world.LoadModels(*device, resources) != 0) return false;
        world.AttachToScene(*scenes->AddSceneFromInfo(map->GetSceneInfoManager().All().front()->data, *map));
        scenes->SetCurrentScene(0);
        return true;
    }
    void Frame() {
        world.ProcessViewEvents();
        device->BeginFrame();
        device->BeginScene();
        scenes->RenderCurrentScene();
        world.RenderBalls(*device);
        world.Render(*device);
        device->EndScene();
    }
};

}  // namespace

TEST(TableView, DrawsTheBallsInPlayAndTheCueOnlyWhileAiming) {
    RecordedWorld r(10);
    ASSERT_TRUE(r.Attach());
    r.Frame();
    const std::size_t aiming = r.world.View().BallVertexCount();
    const std::size_t overlay = r.world.View().OverlayVertexCount();
    EXPECT_GT(aiming, 0u);
    EXPECT_GT(overlay, 0u) << "shadows and the guide";

    physics::Ball& nine = r.world.Rules().GetBall(9);
    nine.outOfPlay = 1;
    r.Frame();
    EXPECT_LT(r.world.View().BallVertexCount(), aiming) << "a pocketed ball is not drawn";
    nine.outOfPlay = 0;

    r.world.MakeDefaultShot();
    ASSERT_TRUE(r.world.ExecuteShot(ShotMode::Local, true));
    r.world.Update(1, 0, 0, false);
    r.Frame();
    EXPECT_LT(r.world.View().BallVertexCount(), aiming) << "no cue and no guide spot while the shot runs";

    r.world.SetSceneVisible(false);
    r.Frame();
    EXPECT_EQ(r.world.View().BallVertexCount(), 0u);
    EXPECT_EQ(r.world.View().OverlayVertexCount(), 0u);
}

TEST(TableView, ReleasedModelsDrawNothingUntilLoadedAgain) {
    RecordedWorld r(4);
    ASSERT_TRUE(r.Attach());
    r.Frame();
    const std::size_t drawn = r.world.View().BallVertexCount();
    ASSERT_GT(drawn, 0u);
    r.world.ReleaseLoadedResources();
    r.Frame();
    EXPECT_EQ(r.world.View().BallVertexCount(), 0u);
    ASSERT_EQ(r.world.LoadModels(*r.device, r.resources), 0);
    r.world.AttachToScene(*r.scenes->GetScene(0));
    r.Frame();
    EXPECT_EQ(r.world.View().BallVertexCount(), drawn);
}

TEST(TableView, ACueThatCannotBeBuiltLeavesTheTableBallsAndCueInTheSceneForTheNextCue) {
    CueObject unbuilt, next;
    unbuilt.model = 250;  // no such model in the packages
    next.model = 2;
    RecordedWorld r(4);
    ASSERT_TRUE(r.Attach());
    r.Frame();
    const std::vector<SceneNodePtr>& objects = r.scenes->GetScene(0)->Content().objects;
    const std::size_t withTable = objects.size();
    const std::size_t drawn = r.world.View().BallVertexCount();
    r.world.SetShooter(&unbuilt);
    r.Frame();
    EXPECT_EQ(objects.size(), withTable) << "the table left the scene";
    EXPECT_EQ(r.world.View().BallVertexCount(), drawn) << "the balls and the cue it had are drawn";
    r.world.SetShooter(&next);
    r.Frame();
    EXPECT_EQ(objects.size(), withTable) << "the table stayed out of the scene";
}

TEST(TableView, LoadingFailsCleanlyWithoutThePackagesAndTheWorldStillPlays) {
    RecordedWorld r(4);
    r.resources.SetRootFolder(u"/nonexistent");
    EXPECT_NE(r.world.LoadModels(*r.device, r.resources), 0);
    r.Frame();
    EXPECT_EQ(r.world.View().BallVertexCount(), 0u);
    r.world.MakeDefaultShot();
    EXPECT_TRUE(r.world.ExecuteShot(ShotMode::Local, true));
}
