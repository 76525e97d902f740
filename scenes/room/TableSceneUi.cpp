#include "scenes/room/TableSceneUi.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "engine/render/SceneManager.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/ImageWidget.h"
#include "gui/NoticeBox.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "scenes/base/GameScene.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/ReplayControlPanel.h"

namespace scenes {

namespace {
constexpr int kCornerButtonWidth = 33;
constexpr int kCornerButtonHeight = 34;
constexpr int kGuideWidth = kKeyGuideWidth;
// The lines start 8 pixels down, one every 19, with 4 pixels to spare under the last.
constexpr int kGuideTopMargin = 8, kGuideLineHeight = 19, kGuideBottomMargin = 4;
constexpr const char16_t* kGuideLines[] = {
    u"Keys",
    u"Mouse: aim",
    u"Left drag down: power,",
    u"  release: strike",
    u"Right drag: camera",
    u"Wheel: zoom",
    u"Space: charge, strike",
    u"Up/Down: cue height",
    u"W A S D: tip, Q: centre",
    u"Tab: top view",
    u"T: trails, B: guide",
    u"Ctrl+left drag: move a ball",
    u"U: balls back",
    u"C: chalk",
    u"F2: this guide",
};
// What only a free practice table has: a ball moved by hand, and the balls back where the shot started.
constexpr const char16_t* kFreePracticeLines[] = {u"Ctrl+left drag: move a ball", u"U: balls back"};
constexpr const char16_t* kChalkLine = u"C: chalk";
// The replay shares the chalk's line, so the practice room's guide keeps the panel's height.
constexpr const char16_t* kChalkAndReplayLine = u"C: chalk, R: replay";
}  // namespace

gui::ImageWidget* AddTitleBar(gui::Widget& scene, const WString& title) {
    gui::ImageWidget* bar = scene.AddImage(10, 4, 392, 30, gui::atlas::InSet(gui::atlas::kTitleBar, 15));
    gui::TextLabel* label = bar->AddLabel(130 - 10, 5 - 4 + 4, 200, 20, gui::kFont14Bold);
    label->SetPlainText(title);
    return bar;
}

gui::Button* AddCornerButton(gui::Widget& scene, std::uint32_t id, int fromRight, std::uint32_t hotkey,
                             const WString& caption, const WString& tooltip) {
    gui::Button* button = scene.AddButton(0, 4, kCornerButtonWidth, kCornerButtonHeight, id, hotkey,
                                          gui::atlas::InSet(gui::atlas::kTextButton, 15));
    button->SetFrameCount(gui::atlas::kTextButtonFrames);
    button->SetCaption(caption);
    button->SetTooltip(tooltip);
    button->SetAnchor(gui::AnchorH::Right, fromRight + kCornerButtonWidth, gui::AnchorV::None, 0);
    return button;
}

int TopViewRightInset(const gui::Widget* replayPanel, int screenWidth) {
    // At its normal size the panel's left edge stands 374 pixels from the right. Enlarged it reaches
    // further over the table, which the player asked for: a table shrunk beside it as well would
    // leave the room's floor at the right edge of the picture.
    constexpr int kGap = 8;
    constexpr int kNormalPanelLeft = hud::ReplayControlPanel::kWidth - hud::ReplayControlPanel::kNormalAnchor;
    if (!replayPanel || !replayPanel->IsVisible()) return kKeyGuideColumn;
    return std::clamp(screenWidth - replayPanel->ScreenX() + kGap, kKeyGuideColumn, kNormalPanelLeft + kGap);
}

gui::ImageWidget* AddKeyGuide(gui::Widget& scene, bool freePractice, bool replay) {
    std::vector<WString> lines;
    for (WString line : kGuideLines) {
        if (!freePractice && std::find(std::begin(kFreePracticeLines), std::end(kFreePracticeLines), line) !=
                                 std::end(kFreePracticeLines))
            continue;
        if (replay && line == kChalkLine) line = kChalkAndReplayLine;
        lines.push_back(line);
    }
    const int height =
        kGuideTopMargin + static_cast<int>(lines.size()) * kGuideLineHeight + kGuideBottomMargin;
    gui::ImageWidget* guide =
        scene.AddImage(500, 100, kGuideWidth, height, gui::atlas::InSet(gui::atlas::kDarkPanel, 15));
    guide->SetAnchor(gui::AnchorH::Right, -kKeyGuideRightMargin, gui::AnchorV::None, 0);
    guide->SetAlpha(0.8f);
    int y = kGuideTopMargin;
    for (const WString& line : lines) {
        gui::TextLabel* label = guide->AddLabel(10, y, kGuideWidth - 16, 18, gui::kFont12);
        label->SetPlainText(line);
        y += kGuideLineHeight;
    }
    return guide;
}

bool OpenSharedBox(GameScene& scene, const SharedBoxText& text) {
    gui::NoticeBox* box = scene.Host() ? scene.Host()->GetNoticeBox() : nullptr;
    if (!box) {
        gui::NoticeBox::JournalBox(text.caption, text.lines);
        return false;
    }
    box->Reset();
    if (box->GetParent() != &scene) scene.AddChild(box, false);
    box->SetCaption(text.caption);
    for (std::size_t i = 0; i < text.lines.size(); ++i) box->SetLine(static_cast<int>(i), text.lines[i]);
    box->SetLayout(text.layout);
    box->SetResultCode(text.result);
    box->SetParam(text.param);
    box->CenterOnScreen();
    box->Show(true);
    box->BringToFront();
    return true;
}

void StretchChatRow(gui::Widget& row, int textWidth) {
    constexpr int kPastText = 40;
    const int pictureWidth = row.Image().w > 0 ? row.Image().w : row.Width();
    row.SetScale(static_cast<float>(textWidth + kPastText) / static_cast<float>(pictureWidth), 1.0f);
}

void ShowSharedDialog(gui::Dialog* dialog) {
    if (dialog) dialog->Show(true);
}

Scene* CurrentEngineScene(SceneManager* engineScenes) {
    return engineScenes ? engineScenes->GetCurrentScene() : nullptr;
}

}  // namespace scenes
