#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/ImageWidget.h"
#include "gui/ItemPreview.h"
#include "gui/NumberDisplay.h"
#include "gui/Overlays.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "gui/UiResourceSet.h"
#include "platform/video/GlBackend.h"
#include "platform/video/ImageFile.h"
#include "platform/window/WindowCodes.h"
#include "tests/common/GlScreen.h"
#include "tests/common/ImageCompare.h"

// Mesa's drivers keep allocations for the life of the process; leak checking is left to the
// unit tests of the same code.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

using namespace gui;
using testsupport::DifferenceFromReference;
using testsupport::TestOutputDir;

namespace {

constexpr std::uint16_t kWidth = 560, kHeight = 400;

std::string ReferencePath() {
    return std::string(MARVENLOT_SOURCE_DIR) + "/tests/gui/data/dialog_reference.png";
}
// A settings dialog of the kind the lobby shows: Korean and English text, an edit field with a
// composing syllable, a radio group, a scroll list, a drop-down, a digit counter and buttons.
void BuildDialog(Panel& root, Dialog& dialog) {
    root.Create(0, 0, kWidth, kHeight);
    root.Show(true);
    root.AddChild(&dialog, true);
    dialog.Create(20, 20, 520, 360);
    dialog.SetImage(atlas::kPanel);
    dialog.SetTitle(u"Room Settings · 방 설정");

    TextLabel* nickCaption =
        dialog.AddLabel(20, 44, 110, 24, kFont12Bold, label_style::kShadow, align::kVCenter);
    nickCaption->SetText(u"닉네임 (Nick)");
    nickCaption->SetColors(0xFFFFD890, 0xFF000000);
    auto* edit = dialog.Make<EditBox>();
    edit->Create(130, 44, 200, 24, 30);
    edit->SetSkin(atlas::kEditField);
    edit->Setup(kFont12, 16, 0xFFFFFFFF);
    edit->SetText(u"당구왕 Player");
    edit->SetFocus(true);
    edit->OnKey(platform::kWmImeComposition, u'한', platform::kGcsCompStr | platform::kCompositionRestart);

    TextLabel* gameCaption =
        dialog.AddLabel(20, 80, 110, 24, kFont12Bold, label_style::kShadow, align::kVCenter);
    gameCaption->SetText(u"게임 (Game)");
    gameCaption->SetColors(0xFFFFD890, 0xFF000000);
    const char16_t* games[] = {u"3-Cushion", u"4-Ball", u"8-Ball"};
    for (int i = 0; i < 3; ++i) {
        Button* radio = dialog.AddButton(130 + i * 104, 80, 98, 24, 40 + i, 0, atlas::kRadioButton);
        radio->SetRadioMode(1);
        radio->AddCaption(games[i], kFont12)->SetFormat(align::kVCenter, 26, 0);
        radio->SetChecked(i == 1);
    }

    TextLabel* channels =
        dialog.AddLabel(20, 116, 200, 20, kFont12Bold, label_style::kShadow, align::kVCenter);
    channels->SetText(u"채널 목록 / Channels");
    const char16_t* rows[] = {u"1. 초보 채널  Beginner", u"2. 자유 채널  Free", u"3. 고수 채널  Expert",
                              u"4. 대회 채널  Tournament", u"5. 클럽 채널  Club"};
    Widget* list = dialog.AddImage(20, 140, 300, 130, atlas::kDarkPanel);
    for (int i = 0; i < 5; ++i) {
        Button* row =
            list->AddButton(4, 4 + i * 24, 274, 24, 100 + i, 0, i == 1 ? atlas::kListRow : UiImage{});
        TextLabel* text = row->AddCaption(rows[i], kFont12);
        text->SetFormat(align::kVCenter, 8, 0);
    }
    auto* bar = list->Make<ScrollBar>();
    bar->Create(280, 4, 16, 122, 50, Orientation::Vertical, 4);
    bar->AddDecButton(atlas::kArrowUp);
    bar->AddIncButton(atlas::kArrowDown);
    bar->AddThumb(atlas::kThumbVertical);
    bar->SetTrackImage(atlas::kTrackVertical);
    bar->SetPos(1, false);

    TextLabel* typeCaption =
        dialog.AddLabel(340, 116, 160, 20, kFont12Bold, label_style::kShadow, align::kVCenter);
    typeCaption->SetText(u"Ball set");
    ComboBox* combo = dialog.AddComboBox(340, 140, 160, 24, 60);
    combo->SetImage(atlas::kComboHeader);
    combo->CreateItems(3);
    combo->AddItem(u"Standard");
    combo->AddItem(u"프로 Pro");
    combo->AddItem(u"Gold");
    combo->Select(1);

    TextLabel* goldCaption =
        dialog.AddLabel(340, 180, 160, 20, kFont12Bold, label_style::kShadow, align::kVCenter);
    goldCaption->SetText(u"보유 골드 Gold");
    auto* gold = dialog.Make<NumberDisplay>();
    gold->Create(340, 204, 16, 24, 8, 0, atlas::kDigits.x, atlas::kDigits.y, atlas::kDigitCells);
    gold->SetValue(125000);

    TextLabel* note =
        dialog.AddLabel(20, 280, 480, 20, kFont12, label_style::kPlain, align::kCenter | align::kVCenter);
    note->SetText(u"설정은 다음 게임부터 적용됩니다. Changes apply from the next game.");
    note->SetColors(0xFFB0D0FF, 0);

    Button* ok = dialog.AddButton(150, 312, 96, 32, 2050, platform::kVkReturn, atlas::kTextButton);
    ok->SetFrameCount(atlas::kTextButtonFrames);
    ok->SetCaption(u"OK");
    Button* cancel = dialog.AddButton(274, 312, 96, 32, 2051, platform::kVkEscape, atlas::kTextButton);
    cancel->SetFrameCount(atlas::kTextButtonFrames);
    cancel->SetCaption(u"취소 Cancel");
    cancel->SetState(WidgetState::Hover);
}

TEST(GuiGl, SettingsDialogWithKoreanAndEnglishTextMatchesTheReferenceImage) {
    testsupport::GlScreen screen(kWidth, kHeight);
    if (!screen.Open()) {
        GTEST_SKIP() << "no GL context: " << screen.Error();
    }
    ASSERT_TRUE(screen.OpenUiSets()) << "the generated packages are missing";
    RenderDevice& device = screen.Device();

    Panel root;
    Dialog dialog;
    BuildDialog(root, dialog);
    root.LayoutChildren(kWidth, kHeight);

    device.SetClearColor(0xFF1C4630);
    ASSERT_TRUE(device.BeginFrame());
    ASSERT_TRUE(device.BeginScene());
    DrawWidgetScreen(root, &device);
    device.EndScene();
    device.Present();
    platform::Image frame;
    ASSERT_TRUE(device.ReadBack(frame));
    platform::SavePng(TestOutputDir() + "/gui_dialog.png", frame);
    TextInputManager::ClearFocus();
    ClearGuiPointers();

    EXPECT_LE(DifferenceFromReference(frame, ReferencePath()), 0.005) << "reference " << ReferencePath();
}

TEST(GuiGl, ItemPreviewDrawsItsModelInsideItsOwnViewportOnly) {
    if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    auto backend = std::make_unique<platform::GlBackend>();
    platform::GlBackend* gl = backend.get();
    RenderDevice device(std::move(backend));
    platform::DisplayMode mode;
    mode.width = 320;
    mode.height = 200;
    device.SetDisplayMode(mode);
    if (device.ApplyDisplayMode() != 0) {
        GTEST_SKIP() << "no GL context: " << gl->LastError();
    }
    Panel root;
    root.Create(0, 0, 320, 200);
    root.Show(true);
    auto* preview = root.Make<ItemPreview>(100, 50, 120, 100);
    preview->SetItem(2003);  // a ball set
    preview->rotationSpeed = 5.0f;
    preview->TickTree(1000);
    preview->TickTree(1500);
    EXPECT_NEAR(preview->Angle(), 1.0f, 1e-4f);
    preview->BuildModel(&device);
    ASSERT_TRUE(preview->HasModel());

    device.SetClearColor(0xFF000000);
    ASSERT_TRUE(device.BeginFrame());
    ASSERT_TRUE(device.BeginScene());
    DrawWidgetScreen(root, &device);
    device.FillRect({0, 0, 10, 10}, 0xFFFF0000);  // 2D drawing works again after the view
    device.EndScene();
    platform::Image frame;
    ASSERT_TRUE(device.ReadBack(frame));
    platform::SavePng(TestOutputDir() + "/gui_item_preview.png", frame);
    auto lit = [&](int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t* p = &frame.rgba[(static_cast<std::size_t>(y) * frame.width + x) * 4];
                count += (p[0] | p[1] | p[2]) != 0;
            }
        return count;
    };
    EXPECT_GT(lit(100, 50, 220, 150), 1000);  // the balls fill a good part of the view
    EXPECT_EQ(lit(230, 0, 320, 200), 0);      // nothing beyond it
    EXPECT_EQ(lit(10, 20, 100, 200), 0);
    EXPECT_EQ(frame.rgba[0], 255);
}

}  // namespace
