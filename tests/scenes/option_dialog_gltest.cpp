// What a player sees of the options dialog on a known config: every list showing its value, the
// check boxes ticked where on, the dialog centred, and an open list drawn opaque above the controls
// beneath it. Drawn through OpenGL and compared with reference images.
#include <gtest/gtest.h>

#include "gui/ComboBox.h"
#include "gui/Widget.h"
#include "scenes/front/OptionDialog.h"
#include "tests/scenes/support/FakeSceneHost.h"
#include "tests/scenes/support/ScreenReference.h"

namespace {

constexpr std::uint16_t kWidth = 1024, kHeight = 768;
constexpr std::uint32_t kShotPowerList = 3107;

std::string ReferencePath(const char* name) {
    return std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/reference/" + name + ".png";
}

// Settings away from the defaults in every group.
Options KnownConfig() {
    Options o;
    o.fullscreen = 0;
    o.vsync = 1;
    o.width = 1280;
    o.height = 960;
    o.textureDetail = 0;
    o.fsaa = 4;
    o.MarkMultisampleSupported(2);
    o.MarkMultisampleSupported(4);
    o.traceAll = 1;
    o.bgmVolume = 80;
    o.fxVolume = 55;
    o.voice = 0;
    o.shotSensitive = 120;
    o.verticalInverse = 1;
    o.cameraMode = 2;
    o.turnZoom = 0;
    o.chatFontSize = 1;
    o.autoGreetings = 0;
    return o;
}

struct DialogScreen {
    gui::Panel root;
    FakeSceneHost host;
    scenes::OptionDialog dialog{&host};
    DialogScreen() {
        DisplayModeList::Instance().Rebuild({{1024, 768, 32, 60}, {1280, 960, 32, 60}, {1600, 1200, 32, 60}});
        host.options.Set(KnownConfig());
        root.Create(0, 0, kWidth, kHeight);
        root.Show(true);
        root.AddChild(&dialog, false);
        gui::GetGuiState().mouseX = gui::GetGuiState().mouseY = 0;
        scenes::OpenOptionDialog(&dialog);
    }
    ~DialogScreen() {
        root.RemoveChild(&dialog);
        DisplayModeList::Instance().Clear();
    }
};

// The closed dialog, then the shot power list open over the controls beneath it.
TEST(OptionDialogGl, AKnownConfigShowsInTheCentredDialogAndAnOpenListCoversWhatLiesBeneath) {
    GlScreen screen(kWidth, kHeight);
    if (!screen.gl.device) {
        GTEST_SKIP() << "no GL context: " << screen.gl.error;
    }
    ASSERT_TRUE(screen.OpenUiSets()) << "the generated packages are missing";
    DialogScreen s;
    ExpectScreenMatchesReference(*screen.gl.device, s.root, "option_dialog", ReferencePath("option_dialog"));

    scenes::OpenOptionDialog(&s.dialog);
    auto* list = dynamic_cast<gui::ComboBox*>(s.dialog.FindById(kShotPowerList));
    ASSERT_NE(list, nullptr);
    list->Open(true);
    const int left = list->ScreenX(), top = list->ScreenY() + list->Height();
    const platform::Image frame = DrawScreenFrame(*screen.gl.device, s.root);
    ASSERT_GT(frame.width, 0u);
    ExpectFrameMatchesReference(frame, "option_dialog_list", ReferencePath("option_dialog_list"));
    // The second row (neither chosen nor under the mouse) over the next list's header shows the
    // list's own face: nothing beneath shows through.
    const std::uint8_t* p = &frame.rgba[(static_cast<std::size_t>(top + 30) * frame.width + left + 2) * 4];
    EXPECT_EQ(p[0], 0x22);
    EXPECT_EQ(p[1], 0x30);
    EXPECT_EQ(p[2], 0x47);
}

}  // namespace
