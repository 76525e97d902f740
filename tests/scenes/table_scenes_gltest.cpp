// What a person sees of the offline table and the replay viewer, drawn through OpenGL on the
// generated packages and compared with reference images (UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/resource/ResourceManager.h"
#include "gui/Dialog.h"
#include "gui/UiResourceSet.h"
#include "platform/window/WindowCodes.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/offline/SceneAlone.h"
#include "scenes/room/replay/SceneReplay.h"
#include "scenes/room/school/SceneSchool.h"
#include "scenes/room/school/TutorialIndex.h"
#include "tests/common/GlTestSupport.h"
#include "tests/scenes/support/ScreenReference.h"
#include "tests/scenes/support/TableSceneHost.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

// The GL device and the UI image sets under the table scenes' host.
struct GlHost {
    gl_test::GlDevice gl{kWidth, kHeight};
    ResourceManager uiResources;
    gui::UiResourceSet sets{&uiResources, 0};
    std::unique_ptr<TableSceneHost> host;
    bool Open() {
        uiResources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        uiResources.SetDataFolder(u"data");
        sets.InitSets();
        if (sets.OpenTree() != 1) return false;
        host = std::make_unique<TableSceneHost>(*gl.device, kWidth, kHeight);
        return true;
    }
};

// Compares with tests/scenes/reference/<name>.png (UPDATE_GOLDEN=1 rewrites it); the frame is
// kept in build/<preset>/test-output.
void ExpectMatchesReference(const platform::Image& frame, const std::string& name) {
    ExpectFrameMatchesReference(
        frame, name, std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/reference/" + name + ".png");
}

// Share of pixels of the table's green cloth.
double ClothShare(const platform::Image& image) {
    std::size_t n = 0, total = std::size_t{image.width} * image.height;
    for (std::size_t i = 0; i < total; ++i) {
        const int r = image.rgba[i * 4], g = image.rgba[i * 4 + 1], b = image.rgba[i * 4 + 2];
        n += g > 80 && r < 60 && b < 90;
    }
    return static_cast<double>(n) / static_cast<double>(total);
}

}  // namespace

TEST(TableScenesGl, OfflineTableShowsRackGaugeAndStripAndItsShotReplaysMidShotInTheViewer) {
    GlHost gl;
    if (!gl.gl.device) GTEST_SKIP() << "no GL context: " << gl.gl.error;
    ASSERT_TRUE(gl.Open()) << "the generated packages are missing";
    TableSceneHost& host = *gl.host;
    std::string record;
    {
        scenes::SceneAlone offline;
        ASSERT_TRUE(host.Enter(offline));
        host.Pump(offline, 300);
        const platform::Image frame = host.Frame(offline);
        EXPECT_GT(ClothShare(frame), 0.12) << "the green cloth of the 8-ball table";
        EXPECT_TRUE(offline.Gauge()->IsShownOnScreen());
        EXPECT_TRUE(offline.ItemStrip()->IsShownOnScreen());
        EXPECT_GE(offline.ItemStrip()->QualifyingCount(), 2) << "the offline chalks and the effect item";
        ExpectMatchesReference(frame, "offline_table");

        // Aim a little to the side, draw back and let go, as a player does with the mouse.
        for (auto [message, x, y] : {std::tuple{platform::kWmMouseMove, 400, 250},
                                     {platform::kWmMouseMove, 404, 250},
                                     {platform::kWmLButtonDown, 404, 250},
                                     {platform::kWmMouseMove, 404, 330},
                                     {platform::kWmLButtonUp, 404, 330}})
            host.Mouse(offline, message, x, y);
        ASSERT_TRUE(offline.World()->ShotExecuting());
        for (int i = 0; i < 100 && offline.World()->ShotExecuting(); ++i) host.Pump(offline, 200);
        record = table::ShotRecordToHex(offline.World()->MakeShotRecord());
        host.Leave(offline);
    }
    host.args = {u"marvenlot", u"replay", u"a", u"b", WString(record.begin(), record.end())};
    scenes::SceneReplay replay;
    ASSERT_TRUE(host.Enter(replay));
    // The viewer starts from above; the side view shows the balls on their way.
    gui::CommandEvent side;
    side.id = scenes::SceneReplay::kSideViewId;
    EXPECT_TRUE(replay.OnCommand(side));
    host.Pump(replay, 160);
    ASSERT_TRUE(replay.ShotRunning());
    const platform::Image frame = host.Frame(replay);
    EXPECT_GT(ClothShare(frame), 0.10) << "the table";
    ExpectMatchesReference(frame, "replay_mid_shot");
    host.Leave(replay);
    gui::ClearGuiPointers();
}

TEST(TableScenesGl, TheSchoolShowsTheGuidePageAndThenTheTableOfTheCameraExercise) {
    GlHost gl;
    if (!gl.gl.device) GTEST_SKIP() << "no GL context: " << gl.gl.error;
    ASSERT_TRUE(gl.Open()) << "the generated packages are missing";
    TableSceneHost& host = *gl.host;
    scenes::SceneSchool school;
    ASSERT_TRUE(host.Enter(school));
    school.Enter();
    host.Pump(school, 10);
    const platform::Image welcome = host.Frame(school);
    EXPECT_EQ(ClothShare(welcome), 0.0) << "the hidden table is drawn on the first pages";
    ExpectMatchesReference(welcome, "school_welcome");

    gui::CommandEvent next;
    next.id = scenes::SceneSchool::kContinueId;
    for (int i = 0; i < 4; ++i) school.OnCommand(next);  // pages 2, 3, 4, then the exercise
    ASSERT_EQ(school.Step(), 4);
    ASSERT_TRUE(school.Practising());
    host.Pump(school, 400);
    const platform::Image frame = host.Frame(school);
    EXPECT_GT(ClothShare(frame), 0.04) << "the practice table (its near end under the goals)";
    ExpectMatchesReference(frame, "school_camera_exercise");

    // The course end: the gift and the ways out to the practice room, the shop and the lobby.
    school.OnMessage(scenes::school_message::kTopicChosen, 13, 0);
    ASSERT_EQ(school.Step(), 13);
    ASSERT_TRUE(school.GiftDialog()->IsVisible());
    host.Pump(school, 10);
    ExpectMatchesReference(host.Frame(school), "school_course_end");
    host.Leave(school);
    gui::ClearGuiPointers();
}
