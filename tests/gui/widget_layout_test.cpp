#include <gtest/gtest.h>

#include <array>

#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/TextLabel.h"
#include "support/WidgetTestSupport.h"

using namespace gui;
using namespace gui_test;

namespace {

struct AnchorCase {
    int hMode, hOffset, vMode, vOffset;
    int x1024, y768;   // position in a 1024 x 768 client area
    int x1280, y1024;  // after a resize to 1280 x 1024
};

TEST(WidgetLayout, AnchoredWidgetsFollowTheirSideOnResize) {
    // A 100 x 40 widget anchored by each mode; offsets are added as given (negative from the right).
    const AnchorCase cases[] = {
        {1, 12, 3, 30, 12, 30, 12, 30},       // left / top
        {2, -180, 3, 30, 744, 30, 1000, 30},  // right side: width - own width + offset
        {1, 12, 4, -32, 12, 696, 12, 952},    // bottom
        {5, 0, 6, 0, 462, 364, 590, 492},     // centred both ways
        {5, 10, 6, -20, 472, 344, 600, 472},  // centred with offsets
        {0, 0, 4, -10, 77, 718, 77, 974},     // horizontal position kept
    };
    for (const AnchorCase& c : cases) {
        Panel root;
        Widget* w = root.AddPanel(77, 5, 100, 40);
        w->SetAnchor(c.hMode, c.hOffset, c.vMode, c.vOffset);
        root.LayoutChildren(1024, 768);
        EXPECT_EQ(w->X(), c.x1024) << c.hMode << "/" << c.vMode;
        EXPECT_EQ(w->Y(), c.y768) << c.hMode << "/" << c.vMode;
        root.LayoutChildren(1280, 1024);
        EXPECT_EQ(w->X(), c.x1280) << c.hMode << "/" << c.vMode;
        EXPECT_EQ(w->Y(), c.y1024) << c.hMode << "/" << c.vMode;
    }
}

TEST(WidgetLayout, NestedAnchorsUseTheirParentsSizeAndClicksFollowTheNewPlace) {
    RecordingRoot root;
    Widget* bar = root.AddPanel(0, 0, 300, 50);
    bar->SetAnchor(AnchorH::Right, 0, AnchorV::Bottom, 0);
    Button* close = bar->AddButton(0, 0, 20, 20, 9, 0, {});
    close->SetAnchor(AnchorH::Right, -5, AnchorV::Top, 5);
    root.LayoutChildren(800, 600);
    EXPECT_EQ(close->X(), 275);
    EXPECT_EQ(close->ScreenX(), 500 + 275);
    EXPECT_EQ(close->ScreenY(), 550 + 5);
    Click(root, 780, 560);
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].id, 9u);
}

// The client shrinks from 1920 x 1080 to 1024 x 768: a dialog it cuts comes back inside the area below the
// caption strip, one wholly inside stays (in the strip too), and one moved since it was centred is no
// longer centred, only kept inside.
TEST(WidgetLayout, DialogsTheShrunkClientCutsComeBackInsideIt) {
    Panel root;
    root.LayoutChildren(1920, 1080);
    std::vector<Dialog*> dialogs;
    for (const auto& [x, y, w, h] : {std::array{1700, 900, 300, 200}, {900, 5, 100, 50}, {0, 0, 200, 100}}) {
        dialogs.push_back(root.Make<Dialog>());
        dialogs.back()->Create(x, y, w, h);
    }
    dialogs[2]->CenterOnScreen();
    dialogs[2]->MoveBy(10, 0);
    root.LayoutChildren(1024, 768);
    std::vector<std::pair<int, int>> places;
    for (const Dialog* d : dialogs) places.emplace_back(d->X(), d->Y());
    EXPECT_EQ(places, (std::vector<std::pair<int, int>>{{724, 568}, {900, 5}, {824, 490}}));
}

TEST(WidgetLayout, FactoriesMakeShownOwnedChildrenAndFindByIdSearchesTheTree) {
    Panel root;
    Widget* panel = root.AddPanel(0, 0, 10, 10);
    Button* deep = panel->AddButton(1, 2, 3, 4, 42, 0, {0, 5, 6, 7, 8});
    TextLabel* label = root.AddLabel(0, 0, 50, 20, kFont14Bold, 1, align::kCenter);
    EXPECT_TRUE(deep->IsVisible());
    EXPECT_EQ(root.FindById(42), deep);
    EXPECT_EQ(deep->Image().set, 0);
    EXPECT_EQ(label->Font(), kFont14Bold);
    EXPECT_EQ(root.FindById(43), nullptr);
}

TEST(WidgetLayout, DestroyingAWidgetDetachesItFromItsParentAndThePointers) {
    Panel root;
    auto owned = std::make_unique<Button>();
    owned->Create(0, 0, 10, 10, 1, 0);
    root.AddChild(owned.get(), true);  // attached, not owned (a shared window)
    GetGuiState().hot = owned.get();
    GetGuiState().active = owned.get();
    owned.reset();
    EXPECT_TRUE(root.Children().empty());
    EXPECT_EQ(GetGuiState().hot, nullptr);
    EXPECT_EQ(GetGuiState().active, nullptr);
}

TEST(WidgetLayout, TickRunsOnVisibleWidgetsOnly) {
    struct Counting : Widget {
        int ticks = 0;
        void Tick(std::uint64_t) override { ++ticks; }
    };
    Panel root;
    root.Show(true);
    Widget* hidden = root.AddPanel(0, 0, 1, 1);
    auto* under = hidden->Make<Counting>();
    auto* shown = root.Make<Counting>();
    hidden->Show(false);
    root.TickTree(100);
    EXPECT_EQ(under->ticks, 0);
    EXPECT_EQ(shown->ticks, 1);
}

}  // namespace
