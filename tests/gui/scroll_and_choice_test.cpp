#include <gtest/gtest.h>

#include "engine/core/Format.h"
#include "gui/AnimatedImage.h"
#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/ScrollBar.h"
#include "support/WidgetTestSupport.h"

using namespace gui;
using namespace gui_test;

namespace {

std::vector<int> Values(const std::vector<CommandEvent>& events) {
    std::vector<int> values;
    for (const CommandEvent& e : events) values.push_back(e.value);
    return values;
}

TEST(ScrollBarPaging, ButtonsTrackAndThumbMoveWithinTheRangeAndReportOneBasedPositions) {
    RecordingRoot root;
    auto* bar = root.Make<ScrollBar>();
    bar->Create(100, 100, 16, 116, 50, Orientation::Vertical, 4);  // track 84 px between the buttons
    Click(root, 108, 105);  // decrease at the top: already first, nothing to report
    Click(root, 108, 210);  // increase
    Click(root, 108, 200);  // on the track below the thumb: one further
    EXPECT_EQ(Values(root.commands), (std::vector<int>{2, 3}));
    EXPECT_EQ(bar->Pos(), 2);

    int tx, ty, tw, th;
    bar->ThumbRect(tx, ty, tw, th);
    Down(root, 108, 100 + ty + 2);
    Move(root, 108, 300);  // dragged far past the end
    Up(root, 108, 300);
    EXPECT_EQ(bar->Pos(), 3);
    EXPECT_EQ(root.commands.back().value, 4);

    bar->SetRange(2);  // fewer positions pull the position in
    EXPECT_EQ(bar->Pos(), 1);
    bar->SetRange(0);
    EXPECT_EQ(bar->Range(), 1);
    EXPECT_EQ(bar->Pos(), 0);
    root.commands.clear();
    Click(root, 108, 210);
    EXPECT_TRUE(root.commands.empty());
}

TEST(ComboChoice, OpenListTakesTheNextClickAndReportsTheChosenItem) {
    RecordingRoot root;
    ComboBox* combo = root.AddComboBox(10, 10, 120, 20, 60);
    Button* behind = root.AddButton(10, 40, 120, 20, 61, 0, {});  // covered by the open list
    combo->CreateItems(3);
    for (const char16_t* item : {u"Standard", u"프로", u"Gold"}) combo->AddItem(item);
    combo->Select(0);
    Click(root, 20, 15);
    ASSERT_TRUE(combo->IsOpen());
    Click(root, 20, 55);  // second row of the list, over the button behind
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(combo->SelectedText(), u"프로");
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].id, 60u);
    EXPECT_EQ(root.commands[0].value, 1);

    Click(root, 20, 15);
    Click(root, 600, 600);  // elsewhere: closes without a choice
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(root.commands.size(), 1u);
    Click(root, 20, 55);
    EXPECT_EQ(root.commands.back().source, behind);
    combo->Select(7);
    EXPECT_EQ(combo->Selected(), -1);
    EXPECT_FALSE(combo->HasScrollBar()) << "three items fit the list";
}

TEST(ComboChoice, OneListIsOpenAtATimeAndHidingItsWindowClosesIt) {
    RecordingRoot root;
    Panel* window = root.AddPanel(0, 0, 400, 300);
    ComboBox* first = window->AddComboBox(10, 10, 120, 20, 60);
    ComboBox* second = window->AddComboBox(200, 10, 120, 20, 61);
    for (ComboBox* combo : {first, second}) {
        combo->CreateItems(2);
        combo->AddItem(u"A");
        combo->AddItem(u"B");
    }
    first->Open(true);
    second->Open(true);
    EXPECT_FALSE(first->IsOpen());
    EXPECT_TRUE(second->IsOpen());
    EXPECT_EQ(GetGuiState().dropDown, second);
    window->Show(false);  // the dialog closes while its list is open
    EXPECT_FALSE(second->IsOpen());
    EXPECT_EQ(GetGuiState().dropDown, nullptr) << "no list of a hidden window is drawn";
    EXPECT_EQ(GetGuiState().active, nullptr);

    ComboBox empty;
    empty.Open(true);
    EXPECT_FALSE(empty.IsOpen()) << "a list without items never opens";
}

TEST(ComboChoice, NearTheScreensEndTheListOpensAboveItsHeaderAndItsRowsTakeTheClicks) {
    RecordingRoot root;
    ComboBox* combo = root.AddComboBox(10, 700, 120, 20, 60);
    combo->CreateItems(12);
    for (int i = 0; i < 12; ++i) combo->AddItem(Format(u"%d", i * 10));
    Click(root, 20, 710);
    ASSERT_TRUE(combo->IsOpen());
    Click(root, 20, 700 - 10 * 20 + 3 * 20 + 5);  // the fourth row, above the header
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_EQ(combo->SelectedText(), u"30");
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].value, 3);

    // Twelve items in ten rows: the list opens on the rows holding the chosen item, with a scroll bar
    // whose foot and thumb scroll it and keep it open for the choice.
    Click(root, 20, 710);
    ASSERT_TRUE(combo->IsOpen());
    EXPECT_EQ(combo->FirstShownItem(), 0) << "the first items hidden above the list";
    ASSERT_TRUE(combo->HasScrollBar());
    const int barX = 10 + 120 - ComboBox::kScrollBarWidth / 2;
    Click(root, barX, 699);
    ASSERT_TRUE(combo->IsOpen()) << "a press on the scroll bar is no choice";
    EXPECT_EQ(combo->FirstShownItem(), 2);
    Click(root, 20, 699);  // the last row
    EXPECT_EQ(combo->SelectedText(), u"110");
    Click(root, 20, 710);
    EXPECT_EQ(combo->FirstShownItem(), 2) << "the chosen last item stays on the list's last row";
    Down(root, barX, 699);
    Move(root, barX, 400);
    Up(root, barX, 400);
    EXPECT_TRUE(combo->IsOpen());
    EXPECT_EQ(combo->FirstShownItem(), 0);
    EXPECT_EQ(root.commands.size(), 2u);
}

TEST(AnimatedImagePlay, SingleRunStepsThroughItsFramesAndHidesLoopingRepeats) {
    AnimatedImage anim;
    anim.SetFrames(4, 100);
    anim.Play(false);
    EXPECT_TRUE(anim.IsVisible());
    for (std::uint64_t t : {1000, 1099, 1100, 1350}) anim.TickTree(t);
    EXPECT_EQ(anim.CurrentFrame(), 3);
    anim.TickTree(1400);
    EXPECT_FALSE(anim.IsVisible());
    EXPECT_FALSE(anim.IsPlaying());

    anim.Play(true);
    anim.TickTree(5000);
    anim.TickTree(5450);
    EXPECT_EQ(anim.CurrentFrame(), 0);
    EXPECT_TRUE(anim.IsVisible());
}

}  // namespace
