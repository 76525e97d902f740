// The options dialog: its copy of the store, what OK re-applies and posts, the atomic save of
// config.ini, and Cancel leaving store and file alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/OptionDialog.h"
#include "tests/common/TempDir.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

using scenes::OptionDialog;
using testsupport::ReadFile;

constexpr std::uint32_t kFullscreen = 3001, kVoice = 3007, kTextures = 3102, kAntiAliasing = 3103,
                        kMusicVolume = 3104, kEffectsVolume = 3105, kShotPower = 3107, kCamera = 3110,
                        kResolution = 3101;

class OptionDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.configPath = dir.File("config.ini");
        dialog.Open();
    }
    // What a click on the control would report: a list choice by index, a check box by state.
    void Choose(std::uint32_t id, int value) {
        gui::Widget* control = dialog.FindById(id);
        ASSERT_NE(control, nullptr) << id;
        if (auto* combo = dynamic_cast<gui::ComboBox*>(control)) combo->Select(value);
        if (auto* button = dynamic_cast<gui::Button*>(control)) button->SetChecked(value != 0);
        dialog.OnCommand({control, id, value});
    }
    void Press(std::uint32_t id) { dialog.OnCommand({dialog.FindById(id), id, 0}); }
    gui::ComboBox& List(std::uint32_t id) { return *dynamic_cast<gui::ComboBox*>(dialog.FindById(id)); }
    std::vector<std::u16string> Items(std::uint32_t id) {
        std::vector<std::u16string> items;
        for (int i = 0; i < List(id).ItemCount(); ++i) items.push_back(List(id).Item(i));
        return items;
    }
    // Hides the dialog and shows it again from a store holding `options`.
    void Reopen(const Options& options) {
        dialog.Show(false);
        host.options.Set(options);
        dialog.Show(true);
    }

    testsupport::TempDir dir;
    FakeSceneHost host;
    OptionDialog dialog{&host};
};

TEST_F(OptionDialogTest, ControlChangeSavesConfigAtomicallyAndPostsControlsChanged) {
    Choose(kShotPower, 7);  // 120
    EXPECT_EQ(host.options.Get().shotSensitive, 100) << "the store changes only on OK";
    Press(scenes::front_button::kOk);

    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_EQ(host.options.Get().shotSensitive, 120);
    EXPECT_TRUE(host.Posted(scenes::front_message::kControlsChanged));
    EXPECT_TRUE(host.videoChanges.empty()) << "no display change was asked for";
    EXPECT_EQ(host.serverOptionSends, 0);
    EXPECT_NE(ReadFile(host.configPath).find("shotsensitive= 120"), std::string::npos);
    // The save leaves no temporary file behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(OptionDialogTest, CancelLeavesStoreAndFileUnchanged) {
    ASSERT_TRUE(testsupport::WriteFile(host.configPath, "[Control]\r\nshotsensitive= 90\r\n"));
    Options before;
    before.shotSensitive = 90;
    host.options.Set(before);
    dialog.Open();
    Choose(kShotPower, 10);
    Choose(kCamera, 2);
    Press(scenes::front_button::kCancel);

    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_EQ(host.options.Get().shotSensitive, 90);
    EXPECT_EQ(host.options.Get().cameraMode, 1);
    EXPECT_EQ(ReadFile(host.configPath), "[Control]\r\nshotsensitive= 90\r\n");
    EXPECT_TRUE(host.posted.empty());
    dialog.Open();
    EXPECT_EQ(dialog.Working().shotSensitive, 90) << "the next opening starts from the store again";
}

TEST_F(OptionDialogTest, EachKindOfChangeReappliesOnlyItsOwnPart) {
    struct Case {
        const char* name;
        std::uint32_t id;
        int value;
        std::uint32_t videoChange;  // 0: none asked for
        bool serverOptions;
        bool controls;
        std::uint32_t soundCode;  // 0: none posted
    } cases[] = {
        {"music volume", kMusicVolume, 5, 0, false, false,
         static_cast<std::uint32_t>(scenes::AppMessage::SoundVolume)},
        {"voice off", kVoice, 0, 0, true, false, static_cast<std::uint32_t>(scenes::AppMessage::SoundEnable)},
        {"windowed", kFullscreen, 0, scenes::video_change::kDisplayMode, false, false, 0},
        {"texture detail", kTextures, 2, scenes::video_change::kDeviceSettings, false, false, 0},
        {"camera mode", kCamera, 1, 0, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.options.Set(Options{});
        host.posted.clear();
        host.videoChanges.clear();
        host.serverOptionSends = 0;
        dialog.Open();
        Choose(c.id, c.value);
        Press(scenes::front_button::kOk);
        EXPECT_EQ(host.videoChanges.empty() ? 0u : host.videoChanges.front(), c.videoChange);
        if (c.id == kFullscreen) {
            EXPECT_FALSE(host.video.fullscreen) << "the display request carries the new mode";
        }
        EXPECT_EQ(host.serverOptionSends, c.serverOptions ? 1 : 0);
        EXPECT_EQ(host.Posted(scenes::front_message::kControlsChanged), c.controls);
        if (c.soundCode) {
            EXPECT_TRUE(host.Posted(c.soundCode));
        }
    }
}

TEST_F(OptionDialogTest, OkKeepsWhatOthersChangedInTheStoreMeanwhile) {
    // The sign-in reply writes the server's word while the dialog is open.
    host.options.Update([](Options& o) {
        o.waterEffect = 1;
        o.autoGreetings = 0;
    });
    Choose(kShotPower, 0);
    Press(scenes::front_button::kOk);
    EXPECT_EQ(host.options.Get().waterEffect, 1);
    EXPECT_EQ(host.options.Get().shotSensitive, 50);
}

TEST_F(OptionDialogTest, AFailedSaveIsReportedAndTheSettingsStillApply) {
    host.configPath = dir.File("missing-folder/config.ini");
    Choose(kShotPower, 3);
    Press(scenes::front_button::kOk);
    EXPECT_EQ(host.options.Get().shotSensitive, 80);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], u"The settings could not be saved.");
}

TEST_F(OptionDialogTest, VideoSettingsAreLockedWhileTheOwnSeatPlays) {
    dialog.SetGameRoomFlags(true, true);
    dialog.Open();
    EXPECT_FALSE(dialog.FindById(kFullscreen)->IsEnabled());
    EXPECT_TRUE(dialog.FindById(kShotPower)->IsEnabled());
    dialog.SetGameRoomFlags(true, false);
    dialog.Open();
    EXPECT_TRUE(dialog.FindById(kFullscreen)->IsEnabled());
    // The room's flags hold until the dialog is hidden, not into an opening from the lobby.
    scenes::OpenOptionDialog(&dialog, true, true);
    EXPECT_FALSE(dialog.FindById(kResolution)->IsEnabled());
    Press(scenes::front_button::kCancel);
    scenes::OpenOptionDialog(&dialog);
    EXPECT_TRUE(dialog.FindById(kResolution)->IsEnabled());
}

// The tables' "S" and F3 showed the dialog with Show alone: every list blank, the resolution list
// empty, the check boxes all off and the dialog at the top left corner.
TEST_F(OptionDialogTest, ShownByAnyPathEveryControlShowsTheStoresValueAndTheDialogIsCentred) {
    Options stored;
    stored.fullscreen = 0;
    stored.traceAll = 1;
    stored.width = 1280;
    stored.height = 960;
    stored.cameraMode = 3;
    host.clientWidth = 1280;  // a window shows its own size
    host.clientHeight = 960;
    Reopen(stored);
    for (std::uint32_t id = 3101; id <= 3112; ++id) {
        EXPECT_GE(List(id).Selected(), 0) << id;
        EXPECT_FALSE(List(id).SelectedText().empty()) << id;
    }
    EXPECT_EQ(List(kResolution).SelectedText(), u"1280 x 960");
    EXPECT_EQ(List(kCamera).SelectedText(), u"Mode 3");
    EXPECT_FALSE(dynamic_cast<gui::Button*>(dialog.FindById(kFullscreen))->IsChecked());
    EXPECT_TRUE(dynamic_cast<gui::Button*>(dialog.FindById(3004))->IsChecked()) << "show ball paths";
    EXPECT_EQ(dialog.X(), (1024 - OptionDialog::kWidth) / 2);
    EXPECT_EQ(dialog.Y(), (768 - OptionDialog::kHeight) / 2);
}

TEST_F(OptionDialogTest, AValueNoListHoldsIsOfferedInOrderAndKeptByOk) {
    Options stored;
    stored.shotSensitive = 300;
    stored.fxVolume = 55;
    stored.fsaa = 8;
    stored.MarkMultisampleSupported(2);
    stored.MarkMultisampleSupported(4);
    Reopen(stored);
    EXPECT_EQ(List(kShotPower).SelectedText(), u"300");
    EXPECT_EQ(List(kShotPower).Item(List(kShotPower).ItemCount() - 1), u"300");
    EXPECT_EQ(List(kEffectsVolume).SelectedText(), u"55");
    EXPECT_EQ(List(kEffectsVolume).Item(List(kEffectsVolume).Selected() - 1), u"50");
    EXPECT_EQ(Items(kAntiAliasing), (std::vector<std::u16string>{u"Off", u"2x", u"4x", u"8x"}))
        << "the device's levels and the one in force";
    EXPECT_EQ(List(kAntiAliasing).SelectedText(), u"8x");

    Choose(kMusicVolume, 5);
    Press(scenes::front_button::kOk);
    EXPECT_EQ(host.options.Get().bgmVolume, 50);
    EXPECT_EQ(host.options.Get().shotSensitive, 300);
    EXPECT_EQ(host.options.Get().fxVolume, 55);
    EXPECT_EQ(host.options.Get().fsaa, 8);
    Reopen(host.options.Get());
    Choose(kAntiAliasing, 2);
    Press(scenes::front_button::kOk);
    EXPECT_EQ(host.options.Get().fsaa, 4);
}

TEST_F(OptionDialogTest, ResolutionListsTheDisplayModesAndAModeWithoutTheRateTakesItsLowest) {
    struct ModeListScope {
        ~ModeListScope() { DisplayModeList::Instance().Clear(); }
    } scope;
    DisplayModeList::Instance().Rebuild(
        {{1024, 768, 32, 60}, {1280, 1024, 32, 75}, {1280, 1024, 32, 85}, {1600, 900, 32, 60}});
    Options stored;
    stored.width = 1152;  // not among the device's modes
    stored.height = 864;
    Reopen(stored);
    EXPECT_EQ(Items(kResolution),
              (std::vector<std::u16string>{u"1024 x 768", u"1152 x 864", u"1280 x 1024", u"1600 x 900"}));
    EXPECT_EQ(List(kResolution).SelectedText(), u"1152 x 864");
    Choose(kResolution, 2);
    EXPECT_EQ(dialog.Working().refreshRate, 75);
    Press(scenes::front_button::kOk);
    EXPECT_EQ(host.options.Get().width, 1280);
    EXPECT_EQ(host.options.Get().refreshRate, 75);
    ASSERT_FALSE(host.videoChanges.empty());
    EXPECT_NE(host.videoChanges.back() & scenes::video_change::kDisplayMode, 0u);

    stored.width = stored.height = 0;  // the desktop's size, before the first start fits it
    Reopen(stored);
    EXPECT_EQ(List(kResolution).SelectedText(), u"Desktop");
}

// On a display listing only its own size, 1024 x 768 and the size the player came from stay on the
// list; in a window the list shows the window's size, and a size chosen there sizes the window.
TEST_F(OptionDialogTest, ALargerSizeIsNoOneWayTripInFullScreenOrInAWindow) {
    struct ModeListScope {
        ~ModeListScope() { DisplayModeList::Instance().Clear(); }
    } scope;
    DisplayModeList::Instance().Rebuild({{1920, 1080, 32, 60}});
    // The window size a choice and OK ask for; 0 x 0 when they ask for none.
    const auto chooseSize = [&](int index) {
        host.videoChanges.clear();
        Choose(kResolution, index);
        Press(scenes::front_button::kOk);
        return host.videoChanges.empty() ? std::pair(0u, 0u)
                                         : std::pair(host.video.windowWidth, host.video.windowHeight);
    };
    Options stored;
    stored.width = host.clientWidth = 1920;  // full screen at the display's size, as after a restart
    stored.height = host.clientHeight = 1080;
    Reopen(stored);
    EXPECT_EQ(Items(kResolution), (std::vector<std::u16string>{u"1024 x 768", u"1920 x 1080"}));
    EXPECT_EQ(chooseSize(0), std::pair(0u, 0u)) << "full screen sizes no window";
    EXPECT_EQ(host.options.Get().width, 1024);

    // In a window dragged to 1500 x 900, with 1024 x 768 stored.
    stored.fullscreen = 0;
    stored.width = 1024;
    stored.height = 768;
    host.clientWidth = 1500;
    host.clientHeight = 900;
    Reopen(stored);
    const std::vector<std::u16string> three = {u"1024 x 768", u"1500 x 900", u"1920 x 1080"};
    EXPECT_EQ(Items(kResolution), three);
    EXPECT_EQ(List(kResolution).SelectedText(), u"1500 x 900");
    EXPECT_EQ(chooseSize(2), std::pair(1920u, 1080u));
    EXPECT_EQ(host.options.Get().width, 1920) << "the size chosen is the full-screen size too";
    host.clientWidth = 1920;  // the window took it; the size it came from is offered for the way back
    host.clientHeight = 1080;
    Reopen(host.options.Get());
    EXPECT_EQ(Items(kResolution), three);
    EXPECT_EQ(chooseSize(1), std::pair(1500u, 900u));

    // In a window smaller than the stored size, OK without a choice leaves it; the stored size sizes it.
    host.clientWidth = 1024;
    host.clientHeight = 768;
    Reopen(host.options.Get());
    host.videoChanges.clear();
    Choose(kMusicVolume, 5);
    Press(scenes::front_button::kOk);
    EXPECT_TRUE(host.videoChanges.empty()) << "a volume change resized the window";
    Reopen(host.options.Get());
    EXPECT_EQ(chooseSize(1), std::pair(1500u, 900u));
}

}  // namespace
