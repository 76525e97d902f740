#include "scenes/room/TableSceneUi.h"

#include "engine/render/SceneManager.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/ImageWidget.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "scenes/base/GameScene.h"
#include "scenes/base/SceneHost.h"

namespace scenes {

namespace {
constexpr int kCornerButtonWidth = 33;
constexpr int kCornerButtonHeight = 34;
constexpr int kGuideWidth = 196;
constexpr int kGuideHeight = 278;
constexpr const char16_t* kGuideLines[] = {
    u"Keys",
    u"Mouse: aim",
    u"Left drag down: power,",
    u"  release: strike",
    u"Right drag: camera",
    u"Wheel: zoom",
    u"Space: charge, strike",
    u"Up/Down: cue height",
    u"W A S D: tip, R: centre",
    u"Tab: top view",
    u"T: trails, B: guide",
    u"U: balls back",
    u"C: chalk",
    u"F2: this guide",
};
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

gui::ImageWidget* AddKeyGuide(gui::Widget& scene) {
    gui::ImageWidget* guide =
        scene.AddImage(500, 100, kGuideWidth, kGuideHeight, gui::atlas::InSet(gui::atlas::kDarkPanel, 15));
    guide->SetAnchor(gui::AnchorH::Right, -200 + kGuideWidth, gui::AnchorV::None, 0);
    guide->SetAlpha(0.8f);
    int y = 8;
    for (const char16_t* line : kGuideLines) {
        gui::TextLabel* label = guide->AddLabel(10, y, kGuideWidth - 16, 18, gui::kFont12);
        label->SetPlainText(line);
        y += 19;
    }
    return guide;
}

void ShowSharedDialog(gui::Dialog* dialog) {
    if (dialog) dialog->Show(true);
}

Scene* CurrentEngineScene(SceneManager* engineScenes) {
    return engineScenes ? engineScenes->GetCurrentScene() : nullptr;
}

}  // namespace scenes
