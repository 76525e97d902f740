#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/ImageWidget.h"
#include "gui/ItemPreview.h"
#include "gui/NoticeBox.h"
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
#include "tests/common/GlTestSupport.h"

// Mesa's drivers keep allocations for the life of the process; leak checking is left to the
// unit tests of the same code.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

using namespace gui;
using gl_test::DifferingShare;

namespace {

constexpr std::uint16_t kWidth = 560, kHeight = 400;

std::string TestOutputDir() {
    std::string dir = std::string(MARVENLOT_BINARY_DIR) + "/test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReferencePath(const char* name) {
    return std::string(MARVENLOT_SOURCE_DIR) + "/tests/gui/data/" + name;
}

// Draws the tree over the clear colour and reads the frame back.
platform::Image DrawFrame(RenderDevice& device, Panel& root, std::uint32_t clear) {
    device.SetClearColor(clear);
    platform::Image frame;
    if (!device.BeginFrame() || !device.BeginScene()) return frame;
    DrawWidgetScreen(root, &device);
    device.EndScene();
    device.ReadBack(frame);
    return frame;
}

// Compares with the reference (written instead when UPDATE_GOLDEN is set).
void ExpectLikeReference(const platform::Image& frame, const char* name) {
    platform::SavePng(TestOutputDir() + "/" + name, frame);
    if (std::getenv("UPDATE_GOLDEN")) {
        ASSERT_TRUE(platform::SavePng(ReferencePath(name), frame));
    }
    platform::Image reference;
    ASSERT_TRUE(platform::LoadPng(ReferencePath(name), reference)) << "missing " << ReferencePath(name);
    ASSERT_EQ(reference.width, frame.width);
    ASSERT_EQ(reference.height, frame.height);
    EXPECT_LE(DifferingShare(frame, reference, 3), 0.005) << name;
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

struct UiSets {
    ResourceManager resources;
    UiResourceSet sets{&resources, 0};
    bool Open() {
        resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources.SetDataFolder(u"data");
        sets.InitSets();
        return sets.OpenTree() == 1;
    }
};

TEST(GuiGl, SettingsDialogWithKoreanAndEnglishTextMatchesTheReferenceImage) {
    gl_test::GlDevice gl(kWidth, kHeight);
    if (!gl.device) {
        GTEST_SKIP() << "no GL context: " << gl.error;
    }
    RenderDevice* device = gl.device.get();
    UiSets ui;
    ASSERT_TRUE(ui.Open()) << "the generated packages are missing";
    Panel root;
    Dialog dialog;
    BuildDialog(root, dialog);
    root.LayoutChildren(kWidth, kHeight);
    const platform::Image frame = DrawFrame(*device, root, 0xFF1C4630);
    TextInputManager::ClearFocus();
    ClearGuiPointers();
    ExpectLikeReference(frame, "dialog_reference.png");
}

TEST(GuiGl, NoticeBoxOverTheScreenIsDimmedBehindAndMatchesTheReferenceImage) {
    gl_test::GlDevice gl(400, 260);
    if (!gl.device) {
        GTEST_SKIP() << "no GL context: " << gl.error;
    }
    RenderDevice* device = gl.device.get();
    UiSets ui;
    ASSERT_TRUE(ui.Open());
    Panel root;
    root.Create(0, 0, 400, 260);
    root.Show(true);
    root.LayoutChildren(400, 260);
    Button* behind = root.AddButton(10, 10, 96, 32, 1, 0, atlas::kTextButton);
    behind->SetFrameCount(atlas::kTextButtonFrames);
    behind->SetCaption(u"Lobby");
    NoticeBox box;
    root.AddChild(&box, false);
    box.Reset();
    box.SetCaption(u"Notice");
    box.SetLine(0, u"아이템을 사용하시겠습니까?");
    box.SetLine(1, u"Use the item now?");
    box.SetLayout(2);
    box.MoveTo((400 - box.Width()) / 2, (260 - box.Height()) / 2);
    box.Show(true);
    const platform::Image frame = DrawFrame(*device, root, 0xFF1C4630);
    ClearGuiPointers();
    // The button behind the box is dimmed by the overlay: darker than a bare one would be.
    const std::uint8_t* p = &frame.rgba[(static_cast<std::size_t>(20) * frame.width + 40) * 4];
    EXPECT_LT(p[2], 160);
    ExpectLikeReference(frame, "notice_reference.png");
}

TEST(GuiGl, ItemPreviewDrawsItsModelInsideItsOwnViewportOnly) {
    gl_test::GlDevice gl(320, 200);
    if (!gl.device) {
        GTEST_SKIP() << "no GL context: " << gl.error;
    }
    RenderDevice& device = *gl.device;
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
    platform::SavePng(TestOutputDir() + "/item_preview.png", frame);
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

TEST(GuiGl, ACueStandsInATallViewAndSpansAWideOne) {
    gl_test::GlDevice gl(400, 300);
    if (!gl.device) {
        GTEST_SKIP() << "no GL context: " << gl.error;
    }
    RenderDevice& device = *gl.device;
    Panel root;
    root.Create(0, 0, 400, 300);
    root.Show(true);
    auto* tall = root.Make<ItemPreview>(20, 20, 58, 258);
    auto* wide = root.Make<ItemPreview>(100, 100, 280, 80);
    for (ItemPreview* view : {tall, wide}) {
        view->SetItem(3000);
        view->BuildModel(&device);
        ASSERT_TRUE(view->HasModel());
    }
    device.SetClearColor(0xFF000000);
    ASSERT_TRUE(device.BeginFrame());
    ASSERT_TRUE(device.BeginScene());
    DrawWidgetScreen(root, &device);
    device.EndScene();
    platform::Image frame;
    ASSERT_TRUE(device.ReadBack(frame));
    platform::SavePng(TestOutputDir() + "/item_preview_cues.png", frame);
    // The lit pixels' extent inside a view.
    const auto extent = [&](const Widget& view) {
        int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
        for (int y = view.Y(); y < view.Y() + view.Height(); ++y)
            for (int x = view.X(); x < view.X() + view.Width(); ++x) {
                const std::uint8_t* p = &frame.rgba[(static_cast<std::size_t>(y) * frame.width + x) * 4];
                if ((p[0] | p[1] | p[2]) == 0) continue;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        return std::pair{right - left + 1, bottom - top + 1};
    };
    const auto [tallW, tallH] = extent(*tall);
    EXPECT_GT(tallH, 200) << "the cue lies across its tall slot as a line";
    EXPECT_LT(tallW, 30);
    const auto [wideW, wideH] = extent(*wide);
    EXPECT_GT(wideW, 220) << "the cue is small in the middle of its wide view";
    EXPECT_LT(wideH, 40);
}

}  // namespace
